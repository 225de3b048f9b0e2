// Small text helpers shared by the readers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The runs of characters between separators ("a  b" -> "a", "b").
inline std::vector<std::string_view> split_fields(std::string_view text,
                                                  std::string_view separators = " ") {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(separators, pos)) != std::string_view::npos) {
        const std::size_t end = text.find_first_of(separators, pos);
        fields.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

// The text without the blanks at either end.
inline std::string trim_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

} // namespace qm
