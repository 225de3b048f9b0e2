#include "conversion/frequency_table.h"

#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct frequency_file : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    frequency_table table;
    std::filesystem::path file(const std::string& body) {
        test::write_file(dir / "freq.out", test::gaussian_output(test::g98_banner, body));
        return dir / "freq.out";
    }
};

TEST_F(frequency_file, BlocksOfThreeThreeAndOneInModeOrder) {
    // No " Charge = " block anywhere: the atom count comes from the coordinates themselves.
    ASSERT_EQ(g98_freq_extract(gaussian_98, file(test::frequency_section({3, 3, 1}, 4)), table, ui),
              result_flag::success);
    ASSERT_EQ(table.rows.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(table.rows[i].frequency, test::fixed(100.0 * (i + 1) + 0.1234, 0, 4)) << i;
        EXPECT_EQ(table.rows[i].ir_intensity, test::fixed(i + 1.1, 0, 4)) << i;
        EXPECT_EQ(table.rows[i].raman_activity, test::fixed(i + 0.5, 0, 4)) << i;
    }
    EXPECT_EQ(ui.statuses.back(), "Searching File for Frequency Data - Found 7");

    write_frequency_table(dir / "table.txt", table, ui);
    const std::string text = test::read_file(dir / "table.txt");
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), " 100.1234     1.1000     0.5000\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
    EXPECT_EQ(ui.statuses.back(), "Extraction Complete - Writing Data to Disk - Record Number: 7");
}

TEST_F(frequency_file, OnlyTheFirstSectionAndAnyAtomCount) {
    const std::string second = test::frequency_section({2}, 30);
    ASSERT_EQ(g98_freq_extract(gaussian_98, file(test::frequency_section({3, 2}, 1) + second), table, ui),
              result_flag::success);
    EXPECT_EQ(table.rows.size(), 5u);
}

TEST_F(frequency_file, HighPrecisionSectionIsPassedOver) {
    const std::string high_precision =
        " reduced masses (AMU), force constants (mDyne/A) and normal coordinates:\n"
        "                           1\n"
        "                          SGG\n"
        "       Frequencies --- -1407.9574\n"
        "    Reduced masses ---     1.0078\n";
    std::string usual = test::frequency_section({1}, 2);
    // An imaginary frequency printed against its label keeps its sign.
    usual.replace(usual.find("   100.1234"), 11, " -1407.9574");
    ASSERT_EQ(g98_freq_extract(gaussian_98, file(high_precision + usual), table, ui), result_flag::success);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].frequency, "-1407.9574");
}

TEST_F(frequency_file, NoRamanLineEndsTheRowAfterTheIrIntensity) {
    ASSERT_EQ(g98_freq_extract(gaussian_98, file(test::frequency_section({3, 1}, 2, false)),
                               table, ui),
              result_flag::success);
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[3].ir_intensity, "4.1000");
    EXPECT_FALSE(table.rows[3].raman_activity);
    write_frequency_table(dir / "table.txt", table, ui);
    EXPECT_EQ(test::lines_of(test::read_file(dir / "table.txt"))[3], " 400.1234     4.1000");
}

// From Gaussian 09 the heading runs over four lines; Gaussian 03 revisions print either form.
TEST_F(frequency_file, EachVersionFindsItsHeading) {
    const std::string one_line =
        " reduced masses (AMU), force constants (mDyne/A) and normal coordinates:\n";
    const std::string four_lines =
        " activities (A**4/AMU), depolarization ratios for plane and unpolarized\n"
        " incident light, reduced masses (AMU), force constants (mDyne/A),\n"
        " and normal coordinates:\n";
    std::string modern = test::frequency_section({3, 1}, 2);
    modern.replace(modern.find(one_line), one_line.size(), four_lines);
    const std::string old = test::frequency_section({3, 1}, 2);
    struct row {
        const gaussian_version* version;
        const std::string* section;
        result_flag flag;
    };
    for (const row& r : {row{&gaussian_09, &modern, result_flag::success},
                         row{&gaussian_16, &modern, result_flag::success},
                         row{&gaussian_03, &modern, result_flag::success},
                         row{&gaussian_03, &old, result_flag::success},
                         row{&gaussian_98, &modern, result_flag::not_found},
                         row{&gaussian_16, &old, result_flag::not_found}}) {
        EXPECT_EQ(g98_freq_extract(*r.version, file(*r.section), table, ui), r.flag)
            << r.version->name;
        EXPECT_EQ(table.rows.size(), r.flag == result_flag::success ? 4u : 0u);
    }
}

TEST_F(frequency_file, MoreValuesThanFrequenciesIsAnErrorNotAShiftedTable) {
    std::string section = test::frequency_section({2}, 2);
    const auto ir = section.find(" IR Inten    --");
    section.insert(section.find('\n', ir), "     9.9999");
    EXPECT_EQ(g98_freq_extract(gaussian_98, file(section), table, ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error (Subscript out of range) in (g98_freq_extract) routine.\n\rReturning to main "
              "menu.\r\nIs this definately a UNIX formated text file?");
}

TEST_F(frequency_file, FileEndingInsideABlockIsTheReport) {
    const std::string section = test::frequency_section({3}, 2);
    const auto cut = section.find(" Depolar");
    test::write_file(dir / "cut.out", test::gaussian_output(test::g98_banner, "").substr(0, 200) +
                                          section.substr(0, cut));
    EXPECT_EQ(g98_freq_extract(gaussian_98, dir / "cut.out", table, ui), result_flag::reported);
}

TEST_F(frequency_file, NoSectionIsNotFound) {
    EXPECT_EQ(g98_freq_extract(gaussian_98, file(test::g98_table(test::water)), table, ui),
              result_flag::not_found);
    EXPECT_TRUE(table.rows.empty());
}

} // namespace
} // namespace qm
