#include "platform/line_reader.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace qm {
namespace {

std::vector<std::string> fields_of(std::string_view line) {
    std::vector<std::string> out;
    for (const auto field : blank_fields(line))
        out.emplace_back(field);
    return out;
}

using strings = std::vector<std::string>;

TEST(BlankFields, EveryFieldIsTakenTheLastOneOfOneCharacterIncluded) {
    EXPECT_EQ(fields_of("10 20 3"), (strings{"10", "20", "3"}));
    EXPECT_EQ(fields_of("1 2 3"), (strings{"1", "2", "3"}));
    EXPECT_EQ(fields_of("7"), (strings{"7"}));
    EXPECT_EQ(fields_of("0.1 0.2 0.3"), (strings{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(fields_of("a   b"), (strings{"a", "b"}));
}

TEST(BlankFields, BlanksAtTheEndsGiveOneEmptyFieldEach) {
    EXPECT_EQ(fields_of(" a b"), (strings{"", "a", "b"}));
    EXPECT_EQ(fields_of("   a"), (strings{"", "a"}));
    EXPECT_EQ(fields_of("a b "), (strings{"a", "b", ""}));
    EXPECT_EQ(fields_of("a b   "), (strings{"a", "b", ""}));
    EXPECT_EQ(fields_of(""), (strings{""}));
    EXPECT_EQ(fields_of("   "), (strings{"", ""}));
    EXPECT_EQ(fields_of("a\tb"), (strings{"a\tb"})) << "only blanks separate";
}

struct read_line {
    std::string text;
    bool ended;
    std::uint64_t position;
    bool operator==(const read_line&) const = default;
};

void PrintTo(const read_line& l, std::ostream* os) {
    *os << '"' << l.text << "\" ended " << l.ended << " at " << l.position;
}

std::vector<read_line> read_all(const std::string& data) {
    std::istringstream in(data);
    data_line_reader reader(in);
    std::vector<read_line> lines;
    std::string line;
    while (reader.next(line))
        lines.push_back({line, reader.line_ended(), reader.position()});
    return lines;
}

TEST(DataLineReader, CrLfLfAndCrEndLinesAlikeAndLoseNoCharacter) {
    using lines = std::vector<read_line>;
    EXPECT_EQ(read_all("ab\r\ncd\r\n"), (lines{{"ab", true, 4}, {"cd", true, 8}}));
    EXPECT_EQ(read_all("ab\ncd\n"), (lines{{"ab", true, 3}, {"cd", true, 6}}));
    EXPECT_EQ(read_all("ab\rcd\r"), (lines{{"ab", true, 3}, {"cd", true, 6}}));
    EXPECT_EQ(read_all("a\rb\r\nc\nd"),
              (lines{{"a", true, 2}, {"b", true, 5}, {"c", true, 7}, {"d", false, 8}}));
    // Empty lines are lines; a CR LF pair is one end, an LF CR pair two.
    EXPECT_EQ(read_all("\r\n\n\r"), (lines{{"", true, 2}, {"", true, 3}, {"", true, 4}}));
    EXPECT_EQ(read_all("a\r\r"), (lines{{"a", true, 2}, {"", true, 3}}));
    EXPECT_EQ(read_all(""), lines{});
}

} // namespace
} // namespace qm
