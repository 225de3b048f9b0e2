// Numbers read from text: the lenient leading number and the strict whole text.
#include "platform/number_form.h"
#include "platform/val.h"

#include "support/as_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace qm {
namespace {

using test::each;
using test::error_of;

TEST(Val, LongestLeadingNumberAfterBlanksOrZeroAndOverflowWhenTooLarge) {
    auto read = [](const char* text) { return text_form(val(text)); };
    EXPECT_EQ(
        each(read, {".116262", "-.5",     "   42abc", "\t7",   "+3.5",      "1.5E+02", "1.5e-2x",
                    "2.5D+01", "2.5d-01", "3E",       "3E+",   "4.",        "",        "abc",
                    ".",       "-",       "- 5",      "1.2.3", "0.0000000", "12 34"}),
        "0.116262|-0.5|42|7|3.5|150|0.015|25|0.25|3|3|4|0|0|0|0|0|1.2|0|12|");
    // Too small for a double, however it is written, reads as 0; the largest double's own
    // printed form reads back as the largest double.
    const std::string tiny_written_long = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(each(read, {"1e-400", "-1e-400", tiny_written_long.c_str()}), "0|0|0|");
    EXPECT_EQ(val("1.79769313486232E+308"), std::numeric_limits<double>::max());
    // Too large is Overflow however written, even many digits before a small exponent.
    const std::string digits_before_small_exponent = "1" + std::string(400, '0') + "e-10";
    for (const std::string text :
         {"1e400", "1.79769313486233E+308", "-1e400", digits_before_small_exponent.c_str()})
        EXPECT_EQ(error_of([&] { val(text); }), "6 Overflow") << text;
}

TEST(WholeNumbers, StrictTextIsOneNumberInRangePastedTextGivesItsLeadingNumber) {
    EXPECT_DOUBLE_EQ(strict_double("  6  "), 6);
    EXPECT_DOUBLE_EQ(strict_double("-.5"), -0.5);
    for (const char* bad : {"", "  ", "C", "6x", "6 7", "1e"})
        EXPECT_EQ(error_of([&] { strict_double(bad); }), "13 Type mismatch") << bad;
    EXPECT_EQ(
        each([](const char* t) { return std::to_string(strict_long(t)); }, {"2.5", "3.5", "-2.5"}),
        "2|4|-2|");
    EXPECT_EQ(strict_integer("32767"), 32767);
    EXPECT_EQ(strict_whole("2.9"), 2);
    EXPECT_EQ(strict_whole("2147483647"), 2147483647);
    // wholeCountBeyond32BitsIsOverflowNotAWrappedInteger
    for (const auto& number : {"2147483648", "99999999999", "1e300"})
        EXPECT_EQ(error_of([&] { strict_whole(number); }), "6 Overflow") << number;
    EXPECT_EQ(error_of([] { strict_integer("32768"); }), "6 Overflow");
    EXPECT_EQ(error_of([] { strict_long("3000000000"); }), "6 Overflow");
    // Pasted texts that are not all digits give the leading number, rounded; large numbers
    // stay exact.
    EXPECT_EQ(each([](const char* t) { return std::to_string(whole_number_from_text(t)); },
                   {"", "000", "007", "4294967297", "18446744073709551615", "18446744073709551616",
                    " 2.5x", "-3", "abc"}),
              "0|0|7|4294967297|18446744073709551615|18446744073709551615|2|0|0|");
}

// What a reader gives for a text, bit for bit, or the error it raises.
template <typename Reader>
std::string outcome(Reader read, const std::string& text) {
    try {
        return std::to_string(std::bit_cast<std::uint64_t>(read(text)));
    } catch (const std::exception& e) {
        return std::string("error ") + e.what();
    }
}

void expect_shortcut_matches_general_reader(const std::string& text) {
    EXPECT_EQ(outcome([](const std::string& t) { return val(t); }, text),
              outcome([](const std::string& t) { return val_general(t); }, text))
        << "val(\"" << text << "\")";
    EXPECT_EQ(outcome([](const std::string& t) { return strict_double(t); }, text),
              outcome([](const std::string& t) { return strict_double_general(t); }, text))
        << "strict_double(\"" << text << "\")";
    // number_value: the value val() reads of a text is_number() accepts, and nothing else.
    const auto one_number = [](const std::string& t) {
        const std::optional<double> value = number_value(t);
        return value ? *value : std::numeric_limits<double>::quiet_NaN();
    };
    const auto checked_then_read = [](const std::string& t) {
        return is_number(t) ? val(t) : std::numeric_limits<double>::quiet_NaN();
    };
    EXPECT_EQ(outcome(one_number, text), outcome(checked_then_read, text))
        << "number_value(\"" << text << "\")";
}

TEST(Val, DecimalShortcutGivesTheGeneralReadersBitsOnTheEdgesOfItsRange) {
    const std::string mantissa_limit = "9007199254740992";   // 2^53: still exact
    const std::string past_mantissa_limit = "9007199254740993"; // 2^53 + 1: general reader
    for (const std::string& text : std::vector<std::string>{"0.1", "-0", "-0.0", "+0", "0.", ".0", "-.5", "+.5", "1.", "00012.5000",
          "0.116262", "-539.517603521", "   -12.25xyz", "\t3.5\t", "3.5 ", "1.5e3", "1.5D3",
          "1.5eV", "1.5E", "2.5d-1x", "1.2.3", "- 5", "+-1", ".", "", "  ", "abc",
          mantissa_limit, "-" + mantissa_limit, past_mantissa_limit, mantissa_limit + ".5",
          "0." + mantissa_limit, "0.0000000000000000000001", "0.00000000000000000000001",
          "1.0000000000000000000000", "123456789012345678901234567890",
          "0.30000000000000004", "9.999999999999999999", "1.00D-06", "0.000D+00",
          "-0.0D+00", "0.100D+01", "1e22", "1e23", "1e-22", "1e-23", "123.456e-20",
          "9007199254740992e22", "0.9007199254740992D-6", "1.5e+44", "1.5e-45", "2e0", "2e-0",
          "1e0000000000000000000000001", "1.5e+", "1.5d-", "1" + std::string(400, '0'),
          "0." + std::string(400, '0') + "1"})
        expect_shortcut_matches_general_reader(text);
}

// Random number-like texts: blanks, signs, runs of digits and zeros, points, exponents of every
// letter, trailing letters. Each must read the same with and without the shortcut.
TEST(Val, DecimalShortcutGivesTheGeneralReadersBitsOnRandomNumberTexts) {
    std::mt19937_64 random(20261207);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto digits = [&](int most) {
        std::string run;
        const int count = pick(most + 1);
        const bool zeros = pick(4) == 0;
        for (int i = 0; i < count; ++i)
            run += zeros ? '0' : static_cast<char>('0' + pick(10));
        return run;
    };
    for (int round = 0; round < 100'000; ++round) {
        std::string text(static_cast<std::size_t>(pick(3)), pick(2) ? ' ' : '\t');
        text += std::string("  +-").substr(static_cast<std::size_t>(pick(4)), 1);
        text += digits(pick(3) == 0 ? 25 : 10);
        if (pick(3) != 0)
            text += "." + digits(pick(3) == 0 ? 28 : 12);
        if (pick(5) == 0)
            text += std::string("eEdD").substr(static_cast<std::size_t>(pick(4)), 1) +
                    std::string(" +-").substr(static_cast<std::size_t>(pick(3)), 1) + digits(3);
        if (pick(4) == 0)
            text += std::string(" x.e-9").substr(static_cast<std::size_t>(pick(6)));
        expect_shortcut_matches_general_reader(text);
        if (HasFailure())
            break;
    }
}

} // namespace
} // namespace qm
