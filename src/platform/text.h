// Small text helpers shared by the readers.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The runs of characters between separators ("a  b" -> "a", "b"), into `fields` (emptied
// first, its room kept: a reader splitting line after line allocates once).
inline void split_fields_into(std::string_view text, std::vector<std::string_view>& fields,
                              std::string_view separators = " ") {
    fields.clear();
    std::size_t pos = 0;
    if (separators.size() == 1) {
        // One separator, the usual blank: compared byte by byte, where searching a set of
        // separators costs a call per byte of the line. Room for a table row's fields at once.
        fields.reserve(8);
        const char separator = separators[0];
        for (;;) {
            while (pos < text.size() && text[pos] == separator)
                ++pos;
            if (pos == text.size())
                return;
            const std::size_t start = pos;
            while (pos < text.size() && text[pos] != separator)
                ++pos;
            fields.push_back(text.substr(start, pos - start));
        }
    }
    while ((pos = text.find_first_not_of(separators, pos)) != std::string_view::npos) {
        const std::size_t end = text.find_first_of(separators, pos);
        fields.push_back(text.substr(pos, end - pos));
        pos = end;
    }
}

inline std::vector<std::string_view> split_fields(std::string_view text,
                                                  std::string_view separators = " ") {
    std::vector<std::string_view> fields;
    split_fields_into(text, fields, separators);
    return fields;
}

// The fields of a line, separated by runs of blanks. A field is the text up to the next blank;
// after it the scan goes on at the next character that is not a blank, and the line is done
// once a field reaches its end. So a line that starts with a blank has an empty first field,
// a line that ends with blanks has one empty field after its last one, an empty line has one
// empty field, and the last field is taken whatever its length, one character included.
inline std::vector<std::string_view> blank_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        if (blank == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, blank - start));
        start = line.find_first_not_of(' ', blank);
        if (start == std::string_view::npos)
            start = line.size(); // blanks to the end: one empty field follows
    }
}

inline char fold_case(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Whether `text` is `key`, letters compared without regard to case (ASCII).
inline bool equal_ignoring_case(std::string_view text, std::string_view key) {
    if (text == key)
        return true; // the usual case, a key spelt as the text has it: one memcmp
    if (text.size() != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        // Bytes that differ must be one letter in its two cases, which differ in bit 0x20
        // alone: most bytes of a key are equal, and pass with one comparison.
        const char a = text[i];
        const char b = key[i];
        if (a != b && ((a ^ b) != 0x20 || fold_case(a) != fold_case(b)))
            return false;
    }
    return true;
}

// Where `key` first stands in `text` at or after `from`, letters compared without regard to
// case (ASCII); npos when nowhere. Boyer-Moore-Horspool: long keys skip most of the text.
inline std::size_t find_ignoring_case(std::string_view text, std::string_view key,
                                      std::size_t from = 0) {
    const std::size_t m = key.size();
    if (from > text.size() || text.size() - from < m)
        return std::string_view::npos;
    if (m == 0)
        return from;
    std::array<std::size_t, 256> shift;
    shift.fill(m);
    for (std::size_t i = 0; i + 1 < m; ++i) {
        const char c = fold_case(key[i]);
        shift[static_cast<unsigned char>(c)] = m - 1 - i;
        if (c >= 'a' && c <= 'z')
            shift[static_cast<unsigned char>(c - 32)] = m - 1 - i;
    }
    for (std::size_t pos = from; pos + m <= text.size();
         pos += shift[static_cast<unsigned char>(text[pos + m - 1])]) {
        std::size_t i = m;
        while (i > 0 && fold_case(text[pos + i - 1]) == fold_case(key[i - 1]))
            --i;
        if (i == 0)
            return pos;
    }
    return std::string_view::npos;
}

// The text without the blanks at either end.
inline std::string trim_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// One cell of a comma-separated file appended to `row`: as it stands, or in double quotes (a
// quote doubled) when it holds a comma, a quote or a line end, so every reader splits the line
// as it was written.
inline void append_csv_field(std::string& row, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += text;
        return;
    }
    row += '"';
    for (char c : text) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

} // namespace qm
