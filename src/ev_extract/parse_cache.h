// Every file of the series is read and parsed once, whatever the number of roots: the roots
// then choose their states from the stored results. Files are parsed a batch ahead of the
// slot being processed, on every core; a file that could not be read keeps its run error
// until the job reaches that slot, so failures surface in series order.
#pragma once

#include "ev_extract/excited_state_parser.h"
#include "ev_extract/file_series.h"
#include "ev_extract/file_text.h"
#include "platform/run_error.h"

#include <optional>
#include <vector>

namespace qm {

class parse_cache {
public:
    parse_cache(const file_series& series, input_kind kind, parse_options options);

    // The parse of slot f; throws the run error met reading it.
    const parsed_output& at(long long f);
    // The last root is done with slot f: its parse is freed, so memory follows the tables.
    void release(long long f) { entries_[series_.used_index(f)].output.reset(); }

private:
    struct entry {
        bool done = false;
        std::optional<parsed_output> output;
        std::optional<run_error> error;
    };
    void parse_batch(long long first);
    void parse_one(long long f);

    const file_series& series_;
    input_kind kind_;
    parse_options options_;
    std::vector<entry> entries_; // by used slot
    std::uint64_t text_limit_;   // the most text a worker reads from one file
};

} // namespace qm
