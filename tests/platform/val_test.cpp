#include "platform/val.h"

#include "error_of.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace qm {
namespace {

struct val_case {
    const char* text;
    double value;
};

class ValReads : public ::testing::TestWithParam<val_case> {};

TEST_P(ValReads, LongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(val(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    OddTexts, ValReads,
    ::testing::Values(val_case{".116262", 0.116262}, val_case{"-.5", -0.5},
                      val_case{"   42abc", 42}, val_case{"\t7", 7}, val_case{"+3.5", 3.5},
                      val_case{"1.5E+02", 150}, val_case{"1.5e-2x", 0.015},
                      // Fortran's exponent, in either case
                      val_case{"2.5D+01", 25}, val_case{"2.5d-01", 0.25}, val_case{"3E", 3},
                      val_case{"3E+", 3}, val_case{"4.", 4}, val_case{"", 0}, val_case{"abc", 0},
                      val_case{".", 0}, val_case{"-", 0}, val_case{"- 5", 0},
                      val_case{"1.2.3", 1.2}, val_case{"0.0000000", 0}, val_case{"12 34", 12}));

// Too small for a double, however it is written, reads as 0; the largest double's own printed
// form reads back as the largest double.
const std::string tiny_written_long = "0." + std::string(400, '0') + "1";
INSTANTIATE_TEST_SUITE_P(
    BeyondADouble, ValReads,
    ::testing::Values(val_case{"1e-400", 0}, val_case{"-1e-400", 0},
                      val_case{tiny_written_long.c_str(), 0},
                      val_case{"1.79769313486232E+308", std::numeric_limits<double>::max()},
                      val_case{"-1.79769313486232E+308", -std::numeric_limits<double>::max()}));

TEST(Val, TooLargeForADoubleIsOverflowHoweverWritten) {
    const std::string digits_before_small_exponent = "1" + std::string(400, '0') + "e-10";
    for (const std::string text :
         {"1e400", "1.79769313486233E+308", "-1e400", digits_before_small_exponent.c_str()})
        EXPECT_EQ(test::error_of([&] { val(text); }), "6 Overflow") << text;
}

TEST(Strict, WholeTextMustBeANumberAndIntegersRoundHalfToEvenWithinTheirRange) {
    EXPECT_DOUBLE_EQ(strict_double("  6  "), 6);
    EXPECT_DOUBLE_EQ(strict_double("-.5"), -0.5);
    for (const char* bad : {"", "  ", "C", "6x", "6 7", "1e"})
        EXPECT_EQ(test::error_of([&] { strict_double(bad); }), "13 Type mismatch") << bad;
    EXPECT_EQ(strict_long("2.5"), 2);
    EXPECT_EQ(strict_long("3.5"), 4);
    EXPECT_EQ(strict_long("-2.5"), -2);
    EXPECT_EQ(strict_integer("32767"), 32767);
    EXPECT_EQ(test::error_of([] { strict_integer("32768"); }), "6 Overflow");
    EXPECT_EQ(test::error_of([] { strict_long("3000000000"); }), "6 Overflow");
}

TEST(Strict, WholeCountBeyond32BitsIsOverflowNotAWrappedInteger) {
    EXPECT_EQ(strict_whole("2.9"), 2);
    EXPECT_EQ(strict_whole("2147483647"), 2147483647);
    for (const char* big : {"2147483648", "99999999999", "1e300"})
        EXPECT_EQ(test::error_of([&] { strict_whole(big); }), "6 Overflow") << big;
}

TEST(WholeNumberFromText, ZeroHoweverWrittenAndLargeNumbersStayExact) {
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(whole_number_from_text(""), 0u);
    EXPECT_EQ(whole_number_from_text("000"), 0u);
    EXPECT_EQ(whole_number_from_text("007"), 7u);
    EXPECT_EQ(whole_number_from_text("4294967297"), 4294967297ull);
    EXPECT_EQ(whole_number_from_text("18446744073709551615"), largest);
    EXPECT_EQ(whole_number_from_text("18446744073709551616"), largest);
    EXPECT_EQ(whole_number_from_text("123456789012345678901234567890"), largest);
    // Pasted texts that are not all digits: the leading number, rounded.
    EXPECT_EQ(whole_number_from_text(" 2.5x"), 2u);
    EXPECT_EQ(whole_number_from_text("-3"), 0u);
    EXPECT_EQ(whole_number_from_text("abc"), 0u);
}

} // namespace
} // namespace qm
