// Every file of the series is read and parsed once, whatever the number of roots: every root
// chooses its state from the parse when the job first reaches the slot. A pool of worker threads, started once for
// the run, parses the files a little ahead of the slot being processed, taking a few files at a
// time; the thread asking for a slot takes its share too, so one worker means no thread at
// all. A file that could not be read keeps its run error until the job reaches that slot, so
// failures surface in series order. The job asks for the slots in order, once each, and
// releases each before asking for the next: the parses held are those of a ring of slots
// around the one being processed, whatever the length of the series.
#pragma once

#include "ev_extract/excited_state_parser.h"
#include "ev_extract/file_series.h"
#include "ev_extract/file_text.h"
#include "platform/run_error.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace qm {

class parse_cache {
public:
    parse_cache(const file_series& series, input_kind kind, parse_options options);
    ~parse_cache();
    parse_cache(const parse_cache&) = delete;
    parse_cache& operator=(const parse_cache&) = delete;

    // The parse of slot f; throws the run error met reading it.
    const parsed_output& at(long long f);
    // The job is done with slot f: its parse is freed and its place in the ring taken by a
    // slot further on.
    void release(long long f) { entry_of(series_.used_index(f)).output.reset(); }

private:
    struct entry {
        std::size_t slot = no_slot; // the used slot it holds; written under mutex_
        bool done = false;          // written under mutex_, after output or error
        std::optional<parsed_output> output;
        std::optional<run_error> error;
    };
    static constexpr std::size_t no_slot = static_cast<std::size_t>(-1);
    entry& entry_of(std::size_t index) { return entries_[index % entries_.size()]; }
    // The next few used slots not handed out yet, below the look-ahead bound; an empty range
    // when there is none. Called with mutex_ held.
    std::pair<std::size_t, std::size_t> take_range();
    void parse_range(std::pair<std::size_t, std::size_t> range);
    void parse_one(std::size_t index);
    void work();

    const file_series& series_;
    input_kind kind_;
    parse_options options_;
    std::size_t slots_;          // used slots of the series
    std::vector<entry> entries_; // used slot i at i % size(): the slot processed and those ahead
    std::uint64_t text_limit_;   // the most text a worker reads from one file

    std::mutex mutex_;
    std::condition_variable work_ready_; // a range to take, or the run is over
    std::condition_variable slot_done_;
    std::size_t next_ = 0;    // the first used slot not handed out
    std::size_t horizon_ = 0; // slots from here on wait until the job comes closer (nothing
                              // is read before the job asks for its first slot)
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace qm
