// Small text helpers shared by the readers.
#pragma once

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

} // namespace qm
