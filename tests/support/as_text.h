// Results as one comparable text each, so a table of cases is one expected string.
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

// The text `form` makes of each value, each followed by '|'.
template <class Form, class T> std::string each(Form form, std::initializer_list<T> values) {
    std::string text;
    for (const T& v : values)
        text += form(v) + "|";
    return text;
}

} // namespace qm::test
