#include "conversion/gaussian_output_reader.h"

#include "gaussian_output_file.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::g98_table;
using test::gaussian_output;

// The banner opens one of the first 14 lines, exactly as printed; a two-line banner opening on
// line 14 is found, its first line the one the Gaussian 94 style writer replaces.
TEST_F(gaussian_output_file, BannerWithinTheFirst14Lines) {
    const auto found = [&](const std::string& banner, int line) {
        const auto r = g98_test(file(gaussian_output(banner, "", line)), ui);
        const bool ok = r.flag == result_flag::success;
        return (ok ? std::string(r.version->name) + ", " + r.banner + ": " : "") +
               ui.statuses.back();
    };
    const std::string g16 = test::g16_banner_start + "\n" + test::g16_banner_end,
                      scanned = "Checking File Format is Valid - Lines Scanned = 14";
    EXPECT_EQ(found(test::g98_banner, 14) + "|" + found(test::g98_banner, 15) + "|" +
                  found(test::g98_banner + " ", 14) + "|" + found(g16, 14),
              "Gaussian 98, " + test::g98_banner + ": File Format is Valid|" + scanned + "|" +
                  scanned + "|Gaussian 16, " + test::g16_banner_start + ": File Format is Valid");
    EXPECT_EQ(g94_test(file(gaussian_output(test::g94_banner, "", 6)), ui).version, &gaussian_94);
    EXPECT_TRUE(ui.messages.empty());
}

// The single mode keeps the last table, whatever its length; coordinates wider than the usual
// nine columns are taken whole in either version's layout, shorter ones as the nine columns.
TEST_F(gaussian_output_file, SingleModeTakesTheLastTableWithWideCoordinatesWhole) {
    const std::string first =
        g98_table({{6, 1.0, 2.0, 3.0}, {8, 4.0, 5.0, 6.0}, {1, 7.0, 8.0, 9.0}, {1, 0.5, 0.5, 0.5}});
    const std::string last =
        g98_table({{6, -10.5, 123.456789, -1234.5}, {1, -9.999999, 99.999999, 5}});
    EXPECT_EQ(after(g98_extract(file(gaussian_output(test::g98_banner, first + last)), record, ui)),
              "found 6|-10.500000|123.456789|-1234.500000;1|-9.999999|99.999999| 5.000000; "
              "Searching File for Standard Orientations - Found 2");
    const auto g94 = file(gaussian_output(
        test::g94_banner, test::g94_table({{7, 0.1, -0.2, 0.3}, {17, -15.25, 0.0, 101.0}})));
    EXPECT_EQ(after(g94_extract(g94, record, ui)),
              "found 7| 0.100000|-0.200000| 0.300000;17|-15.250000| 0.000000|101.000000; "
              "Searching File for Standard Orientations - Found 1");
    // HeaderRulesOfTheTwoModes: a header without its trailing blanks (98) or with them (94) is
    // read in the single mode only.
    const auto none = [](const structure_record&, long long) {};
    auto input = file(
        gaussian_output(test::g98_banner,
                        g98_table(test::water, "                         Standard orientation:")));
    EXPECT_EQ(g98_extract(input, record, ui).flag, result_flag::success);
    EXPECT_EQ(g98_multiple_extract(input, ui, none).flag, result_flag::not_found);
    input = file(
        gaussian_output(test::g94_banner, test::g94_table(test::water, test::g94_header + "   ")));
    EXPECT_EQ(g94_extract(input, record, ui).flag, result_flag::success);
    EXPECT_EQ(g94_multiple_extract(input, ui, none).flag, result_flag::not_found);
    // FileEndingInsideATableIsTheLongReport; ShortRowIsARunErrorNotAGuess.
    const std::string table = g98_table(test::water);
    const auto path =
        file(gaussian_output(test::g98_banner, "") + table.substr(0, table.size() - 72));
    EXPECT_EQ(after(g98_extract(path, record, ui)),
              "reported  Error (Input past end of file) in (g98_extract) routine.\n\rReturning to "
              "main menu.\r\nIs this definately a UNIX formated text file?");
    for (const char* row : {"    1          6             0        0.000000", "    1", ""})
        EXPECT_THROW(cut_orientation_row(row, gaussian_98), run_error) << row;
}

} // namespace
} // namespace qm
