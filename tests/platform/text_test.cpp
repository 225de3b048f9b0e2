#include "platform/text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(BlankFields, RunsOfBlanksSeparateAndBlanksAtTheEndsGiveOneEmptyFieldEach) {
    using strings = std::vector<std::string_view>;
    const std::pair<const char*, strings> cases[] = {
        {"10 20 3", {"10", "20", "3"}}, // the last field of one character included
        {"7", {"7"}},
        {"a   b", {"a", "b"}},
        {" a b", {"", "a", "b"}},
        {"   a", {"", "a"}},
        {"a b ", {"a", "b", ""}},
        {"a b   ", {"a", "b", ""}},
        {"", {""}},
        {"   ", {"", ""}},
        {"a\tb", {"a\tb"}}, // only blanks separate
    };
    for (const auto& [line, fields] : cases)
        EXPECT_EQ(blank_fields(line), fields) << '"' << line << '"';
}

TEST(FindIgnoringCase, LettersInAnyCase) {
    const std::string text = "xx SCF Done:  E(RHF) ... scf done: again";
    EXPECT_EQ(find_ignoring_case(text, "scf done: "), 3u);
    EXPECT_EQ(find_ignoring_case(text, "SCF DONE: ", 4), 25u);
    EXPECT_EQ(find_ignoring_case(text, "scf done: x"), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case(text, "again", text.size() - 5), text.size() - 5);
    EXPECT_EQ(find_ignoring_case(text, "again", text.size() - 4), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case("aaab", "aab"), 1u); // a partial match does not skip it
    EXPECT_EQ(find_ignoring_case("f=0.1", "F="), 0u);
    EXPECT_EQ(find_ignoring_case("short", "much longer key"), std::string_view::npos);
}

TEST(SplitAndTrim, Blanks) {
    EXPECT_EQ(split_fields("  a  bb\tc ").size(), 2u);
    EXPECT_EQ(split_fields("  a  bb\tc ", " \t").size(), 3u);
    EXPECT_EQ(trim_blanks("  freqgap "), "freqgap");
    EXPECT_EQ(trim_blanks("   "), "");
}

} // namespace
} // namespace qm
