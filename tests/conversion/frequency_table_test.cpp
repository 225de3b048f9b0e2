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

// Blocks of any size for any atom count, in mode order; a second section is not read.
TEST_F(frequency_file, OnlyTheFirstSectionAndAnyAtomCount) {
    const std::string second = test::frequency_section({2}, 30);
    ASSERT_EQ(
        g98_freq_extract(gaussian_98, file(test::frequency_section({3, 2}, 1) + second), table, ui),
        result_flag::success);
    EXPECT_EQ(ui.statuses.back(), "Searching File for Frequency Data - Found 5");
    write_frequency_table(dir / "table.txt", table, ui);
    const auto lines = test::lines_of(test::read_file(dir / "table.txt"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], " 500.1234     5.1000     4.5000");
    EXPECT_EQ(ui.statuses.back(), "Extraction Complete - Writing Data to Disk - Record Number: 5");
}

TEST_F(frequency_file, NoRamanLineEndsTheRowAfterTheIrIntensity) {
    ASSERT_EQ(
        g98_freq_extract(gaussian_98, file(test::frequency_section({3, 1}, 2, false)), table, ui),
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

// A value without its frequency would land in another mode's row; a file that ends inside a
// block or holds no section gives no table either.
TEST_F(frequency_file, MoreValuesThanFrequenciesIsAnErrorNotAShiftedTable) {
    std::string extra_ir = test::frequency_section({2}, 2);
    extra_ir.insert(extra_ir.find('\n', extra_ir.find(" IR Inten    --")), "     9.9999");
    const std::string block = test::frequency_section({3}, 2);
    const std::string cut = block.substr(0, block.find(" Depolar"));
    struct row {
        const char* name;
        std::string body;
        result_flag flag;
    };
    for (const row& r : {row{"an IR value too many", extra_ir, result_flag::reported},
                         row{"file ending inside a block", cut, result_flag::reported},
                         row{"no section", test::g98_table(test::water), result_flag::not_found}})
        EXPECT_EQ(g98_freq_extract(gaussian_98, file(r.body), table, ui), r.flag) << r.name;
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Error (Subscript out of range) in (g98_freq_extract) routine.\n\rReturning to main "
              "menu.\r\nIs this definately a UNIX formated text file?");
    EXPECT_TRUE(table.rows.empty());
}

} // namespace
} // namespace qm
