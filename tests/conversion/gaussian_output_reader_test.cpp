#include "conversion/gaussian_output_reader.h"
#include "platform/run_error.h"

#include "conversion_files.h"
#include "support/gaussian_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::fields;
using test::g98_table;
using test::gaussian_output;
using test::water;

struct gaussian_output_file : test::conversion_files {};

TEST_F(gaussian_output_file, BannerWithinTheFirst14Lines) {
    EXPECT_EQ(g98_test(file(gaussian_output(test::g98_banner, "", 14)), ui).flag,
              result_flag::success);
    EXPECT_EQ(ui.statuses.back(), "File Format is Valid");
    EXPECT_EQ(g98_test(file(gaussian_output(test::g98_banner, "", 15)), ui).flag,
              result_flag::not_found);
    EXPECT_EQ(ui.statuses.back(), "Checking File Format is Valid - Lines Scanned = 14");
    EXPECT_EQ(g94_test(file(gaussian_output(test::g94_banner, "", 6)), ui).version, &gaussian_94);
    // The other version's banner, or a banner with trailing blanks, is not this version's.
    EXPECT_EQ(g94_test(file(gaussian_output(test::g98_banner, "")), ui).flag,
              result_flag::not_found);
    EXPECT_EQ(g98_test(file(gaussian_output(test::g98_banner + " ", "")), ui).flag,
              result_flag::not_found);
    EXPECT_EQ(g98_test(file("short\n"), ui).flag, result_flag::not_found);
    // A two-line banner opening on line 14 ends on line 15: it is found, and it is the line
    // the Gaussian 94 style writer replaces.
    const std::string g16 = test::g16_banner_start + "\n" + test::g16_banner_end;
    const auto found = g98_test(file(gaussian_output(g16, "", 14)), ui);
    EXPECT_EQ(found.version, &gaussian_16);
    EXPECT_EQ(found.banner, test::g16_banner_start);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(BannerVersion, EveryVersionByItsYears) {
    const std::string years = " Copyright (c) 1988,1990,1992,1993,1995,1998,";
    const std::string& company = test::g16_banner_end;
    struct row {
        std::string line, next;
        const gaussian_version* version;
    };
    for (const row& r : std::vector<row>{
             {test::g98_banner, company, &gaussian_98},
             {years + "2003, Gaussian, Inc.", "", &gaussian_03},
             {years + "2003,2004, Gaussian, Inc.", "", &gaussian_03},
             {years + "2003,2009, Gaussian, Inc.", "", &gaussian_09},
             {years + "2003,2009,2013,", company, &gaussian_09},
             {years + "2003,2009,2016,", company, &gaussian_16},
             {" Copyright (c) 1988-2019, Gaussian, Inc.  All Rights Reserved.", "", &gaussian_16},
             // Not a banner of the Gaussian 98 route.
             {test::g94_banner, "", nullptr},
             {years + "2003,2009,2016,", "                  All Rights Reserved.", nullptr},
             {years + "2003,2009,2016,\r", company, nullptr}, // CR LF line ends
             {years + "1999, Gaussian, Inc.", "", nullptr},
             {years + "20O3, Gaussian, Inc.", "", nullptr}})
        EXPECT_EQ(banner_version(g98_route, r.line, r.next), r.version) << r.line;
    EXPECT_EQ(banner_version(g94_route, test::g94_banner, ""), &gaussian_94);
    EXPECT_EQ(banner_version(g94_route, years + "2003,2009,2016,", company), nullptr);
}

// The single mode keeps the last table, whatever its length. Coordinates wider than the nine
// columns of the usual layout are taken whole, in either version's layout; up to nine
// characters the texts are exactly the nine columns they always were.
TEST_F(gaussian_output_file, SingleModeTakesTheLastTableWithWideCoordinatesWhole) {
    const std::vector<test::test_atom> first = {
        {6, 1.0, 2.0, 3.0}, {8, 4.0, 5.0, 6.0}, {1, 7.0, 8.0, 9.0}, {1, 0.5, 0.5, 0.5}};
    const std::vector<test::test_atom> last = {{6, -10.5, 123.456789, -1234.5},
                                               {1, -9.999999, 99.999999, 5}};
    structure_record record;
    ASSERT_EQ(
        g98_extract(file(gaussian_output(test::g98_banner, g98_table(first) + g98_table(last))),
                    record, ui),
        result_flag::success);
    EXPECT_EQ(ui.statuses.back(), "Searching File for Standard Orientations - Found 2");
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(fields(record.atoms[0]), "6|-10.500000|123.456789|-1234.500000");
    EXPECT_EQ(fields(record.atoms[1]), "1|-9.999999|99.999999| 5.000000");

    const auto g94 = file(gaussian_output(
        test::g94_banner, test::g94_table({{7, 0.1, -0.2, 0.3}, {17, -15.25, 0.0, 101.0}})));
    ASSERT_EQ(g94_extract(g94, record, ui), result_flag::success);
    EXPECT_EQ(fields(record.atoms[0]), "7| 0.100000|-0.200000| 0.300000");
    EXPECT_EQ(fields(record.atoms[1]), "17|-15.250000| 0.000000|101.000000");
}

TEST_F(gaussian_output_file, HeaderRulesOfTheTwoModes) {
    // Gaussian 98 without the header's trailing blanks: single mode only.
    const std::string bare98 = "                         Standard orientation:";
    // Gaussian 94 with trailing blanks: single mode only.
    const std::string padded94 = test::g94_header + "   ";
    conversion_settings s{{}, dir / "out.xyz", "out.xyz", input_type::g98, output_type::xyz, true};
    structure_record record;

    s.input = file(gaussian_output(test::g98_banner, g98_table(water, bare98)));
    EXPECT_EQ(g98_extract(s.input, record, ui), result_flag::success);
    EXPECT_EQ(g98_multiple_extract(s, ui), result_flag::not_found);

    s.input = file(gaussian_output(test::g94_banner, test::g94_table(water, padded94)));
    EXPECT_EQ(g94_extract(s.input, record, ui), result_flag::success);
    EXPECT_EQ(g94_multiple_extract(s, ui), result_flag::not_found);
}

TEST_F(gaussian_output_file, MultipleModeWritesOneFilePerTable) {
    const auto input = file(gaussian_output(test::g98_banner, g98_table(water) + " Step 2\n" +
                                                                  g98_table({{6, 0, 0, -10.25}})));
    const conversion_settings s{input,           dir / "water.xyz", "water.xyz",
                                input_type::g98, output_type::xyz,  true};
    ASSERT_EQ(g98_multiple_extract(s, ui), result_flag::success);
    EXPECT_EQ(test::read_file(dir / "1 - water.xyz"),
              " O      0.000000      0.000000      0.119262\n"
              " H      0.000000      0.763239     -0.477047\n"
              " H      0.000000     -0.763239     -0.477047\n");
    EXPECT_EQ(test::read_file(dir / "2 - water.xyz"),
              " C      0.000000      0.000000     -10.250000\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "water.xyz")); // the chosen file itself: no
    EXPECT_EQ(ui.statuses.back(), "Searching File for Standard Orientations - Found 2");
}

TEST_F(gaussian_output_file, FileEndingInsideATableIsTheLongReport) {
    const std::string table = g98_table(water);
    const auto path =
        file(gaussian_output(test::g98_banner, "") + table.substr(0, table.size() - 72));
    structure_record record;
    EXPECT_EQ(g98_extract(path, record, ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error (Input past end of file) in (g98_extract) routine.\n\r"
                                   "Returning to main menu.\r\nIs this definately a UNIX "
                                   "formated text file?");
}

TEST(OrientationRow, ShortRowIsARunErrorNotAGuess) {
    EXPECT_THROW(cut_orientation_row("    1          6             0        0.000000", gaussian_98),
                 run_error);
    EXPECT_THROW(cut_orientation_row("    1", gaussian_98), run_error);
    EXPECT_THROW(cut_orientation_row("", gaussian_98), run_error);
}

} // namespace
} // namespace qm
