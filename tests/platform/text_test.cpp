// Fields of a line and case-blind search.
#include "platform/text.h"

#include "support/as_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::each;

TEST(BlankFields, RunsOfBlanksSeparateAndBlanksAtTheEndsGiveOneEmptyFieldEach) {
    // Each line's fields, each followed by ','; the last of one character included; only
    // blanks separate.
    auto fields = [](const char* line) {
        std::string text;
        for (const std::string_view field : blank_fields(line))
            text.append(field).append(",");
        return text;
    };
    EXPECT_EQ(each(fields,
                   {"10 20 3", "7", "a   b", " a b", "   a", "a b ", "a b   ", "", "   ", "a\tb"}),
              "10,20,3,|7,|a,b,|,a,b,|,a,|a,b,,|a,b,,|,|,,|a\tb,|");
    EXPECT_EQ(split_fields("  a  bb\tc ").size(), 2u);
    EXPECT_EQ(split_fields("  a  bb\tc ", " \t").size(), 3u);
    EXPECT_EQ(each(trim_blanks, {"  freqgap ", "   "}), "freqgap||");
}

TEST(FindIgnoringCase, LettersInAnyCase) {
    const std::string text = "xx SCF Done:  E(RHF) ... scf done: again";
    EXPECT_EQ(find_ignoring_case(text, "scf done: "), 3u);
    EXPECT_EQ(find_ignoring_case(text, "SCF DONE: ", 4), 25u);
    EXPECT_EQ(find_ignoring_case(text, "again", text.size() - 4), std::string_view::npos);
    EXPECT_EQ(find_ignoring_case("aaab", "aab"), 1u); // a partial match does not skip it
    EXPECT_EQ(find_ignoring_case("short", "much longer key"), std::string_view::npos);
}

} // namespace
} // namespace qm
