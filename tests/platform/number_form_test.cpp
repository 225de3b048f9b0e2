// Numbers as text: the general, print and pattern forms.
#include "platform/number_form.h"

#include "support/as_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::each;

// The general form: 15 or 7 significant digits and the classic exponent; the print form adds a
// blank for plus and one after; a pattern fixes the decimals.
TEST(NumberForms, GeneralPrintAndPatternForms) {
    // 9999999999999999 rounds to 15 digits into the next power of ten.
    EXPECT_EQ(
        each(text_form, {5.31743661705722E+15, -33592.4528073, 0.5, -0.25, 6.02213665167516E+26,
                         0.0, -0.0, 1E15, 999999999999999.0, 9999999999999999.0, 0.0001, 0.00001,
                         -1.5E-7, 1E-100, 0.1 + 0.2, 100.0, 123456789012345678.0, 2.0 / 3.0}),
        "5.31743661705722E+15|-33592.4528073|0.5|-0.25|6.02213665167516E+26|0|0|1E+15|"
        "999999999999999|1E+16|0.0001|1E-05|-1.5E-07|1E-100|0.3|100|1.23456789012346E+17|"
        "0.666666666666667|");
    EXPECT_EQ(
        each(text_form_single, {62.05833f, 1.0f / 3.0f, 9999999.0f, 10000000.0f, -0.0f, 0.00001f}),
        "62.05833|0.3333333|9999999|1E+07|0|1E-05|");
    // Values whose shortest digits are more than 15 (rounded from the exact value) and
    // subnormal values, whose shortest digits need not be the rounded ones.
    EXPECT_EQ(each(text_form, {1.0 / 3.0, 0.1 + 0.7, 9.9999999999999995, 1.5249677796211152e-310,
                               -7.9205483007699099e-310, 4.9406564584124654e-324}),
              "0.333333333333333|0.8|10|1.52496777962112E-310|-7.92054830076991E-310|"
              "4.94065645841247E-324|");
    EXPECT_EQ(each(print_form, {0.5, -0.25, -0.0, 2.0, 3.0}), " 0.5 |-0.25 | 0 | 2 | 3 |");
    EXPECT_EQ(print_form_single(62.05833f), " 62.05833 ");
    // A negative value that rounds to zero shows no sign.
    EXPECT_EQ(each([](double v) { return format_pattern(v, "##0.0000000"); },
                   {1.5, -0.123456789, 12345.6, 0.0, -0.00000001}),
              "1.5000000|-0.1234568|12345.6000000|0.0000000|0.0000000|");
    EXPECT_EQ(format_pattern(0.25, "#.00"), ".25");
    // Fixed decimals from a text: halves to even on the digits shown (0.0005 and 1.2345 are
    // halves; their nearest doubles lie above and below), carries through nines, no "-0".
    EXPECT_EQ(each([](const char* t) { return rounded_fixed(t, 3); },
                   {"-12.345678", " 0.0005", "0.0015", "1.2345", "1.2355", "-0.0004", "9999.9995",
                    "-999.9996", "1.5D+02", "7", "0", "-0.000000", "0.00051", "4E-5"}),
              "-12.346|0.000|0.002|1.234|1.236|0.000|10000.000|-1000.000|150.000|7.000|0.000|"
              "0.000|0.001|0.000|");
    EXPECT_EQ(test::error_of([] { rounded_fixed("1.2.3", 3); }), "13 Type mismatch");
    EXPECT_EQ(format_pattern(7.0, "000"), "007");
}

} // namespace
} // namespace qm
