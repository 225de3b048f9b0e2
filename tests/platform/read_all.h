// Reading a source whole through line_reader, for the tests of the line readers and of inputs.
#pragma once

#include "platform/line_reader.h"

#include "support/as_text.h"

#include <string>

namespace qm {

// Every line the reader gives, each followed by '|', or the run error the reading ends in.
template <class Source>
std::string read_all(Source&& source, last_line rule, line_ends ends = line_ends::lf) {
    std::string lines;
    const std::string error = test::error_of([&] {
        line_reader reader(source, rule, ends);
        for (std::string line; reader.next(line);)
            lines += line + "|";
    });
    return error == "no error" ? lines : error;
}

} // namespace qm
