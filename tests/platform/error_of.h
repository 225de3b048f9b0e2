// The run error an action ends in, as one comparable text.
#pragma once

#include "platform/run_error.h"

#include <functional>
#include <string>

namespace qm::test {

// "<number> <description>", with " [<file name>]" when the error names a file; "no error".
inline std::string error_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const run_error& e) {
        const std::string file = e.file.empty() ? "" : " [" + e.file.filename().string() + "]";
        return std::to_string(e.number) + " " + e.description + file;
    }
    return "no error";
}

} // namespace qm::test
