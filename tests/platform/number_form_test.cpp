#include "platform/number_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qm {
namespace {

struct form_case {
    double value;
    const char* text;
};

class TextFormDouble : public ::testing::TestWithParam<form_case> {};

TEST_P(TextFormDouble, MatchesTheClassicGeneralForm) {
    EXPECT_EQ(text_form(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextFormDouble,
    ::testing::Values(form_case{5.31743661705722E+15, "5.31743661705722E+15"},
                      form_case{-33592.4528073, "-33592.4528073"}, form_case{0.5, "0.5"},
                      form_case{-0.25, "-0.25"},
                      form_case{6.02213665167516E+26, "6.02213665167516E+26"}, form_case{0.0, "0"},
                      form_case{-0.0, "0"}, form_case{1E15, "1E+15"},
                      form_case{999999999999999.0, "999999999999999"},
                      // rounding to 15 digits carries into the next power of ten
                      form_case{9999999999999999.0, "1E+16"}, form_case{0.0001, "0.0001"},
                      form_case{0.00001, "1E-05"}, form_case{-1.5E-7, "-1.5E-07"},
                      form_case{1E-100, "1E-100"}, form_case{0.1 + 0.2, "0.3"},
                      form_case{100.0, "100"},
                      form_case{123456789012345678.0, "1.23456789012346E+17"},
                      form_case{2.0 / 3.0, "0.666666666666667"}));

TEST(TextFormSingle, SevenSignificantDigits) {
    EXPECT_EQ(text_form_single(62.05833f), "62.05833");
    EXPECT_EQ(text_form_single(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(text_form_single(9999999.0f), "9999999");
    EXPECT_EQ(text_form_single(10000000.0f), "1E+07");
    EXPECT_EQ(text_form_single(-0.0f), "0");
    EXPECT_EQ(text_form_single(0.00001f), "1E-05");
}

TEST(PrintForm, BlankForPlusAndOneTrailingBlank) {
    EXPECT_EQ(print_form(0.5), " 0.5 ");
    EXPECT_EQ(print_form(-0.25), "-0.25 ");
    EXPECT_EQ(print_form(-0.0), " 0 ");
    EXPECT_EQ(print_form(2.0) + print_form(3.0), " 2  3 ");
    EXPECT_EQ(print_form_single(62.05833f), " 62.05833 ");
}

TEST(FormatPattern, FixedSevenDecimals) {
    EXPECT_EQ(format_pattern(1.5, "##0.0000000"), "1.5000000");
    EXPECT_EQ(format_pattern(-0.123456789, "##0.0000000"), "-0.1234568");
    EXPECT_EQ(format_pattern(12345.6, "##0.0000000"), "12345.6000000");
    EXPECT_EQ(format_pattern(0.0, "##0.0000000"), "0.0000000");
    // a negative value that rounds to zero shows no sign
    EXPECT_EQ(format_pattern(-0.00000001, "##0.0000000"), "0.0000000");
    EXPECT_EQ(format_pattern(0.25, "#.00"), ".25");
    EXPECT_EQ(format_pattern(7.0, "000"), "007");
}

} // namespace
} // namespace qm
