#include "stokes/spectral_density.h"

#include "stokes/only_report.h"
#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using row = std::array<double, 3>;
using rows = std::vector<row>;

const std::string reading = "Reading Spectral Density from input file - Line number = ";
const std::string read_done = "Successfully Read Input Data - Ready to process.";

struct density_case {
    const char* name;
    std::string input;
    rows complete;
    std::vector<std::string> row_numbers; // the status after each line
};

void PrintTo(const density_case& c, std::ostream* os) {
    *os << c.name;
}

struct spectral_density : ::testing::TestWithParam<density_case> {};

TEST_P(spectral_density, FillsRowsOfThreeAndReportsTheOpenRow) {
    const density_case& c = GetParam();
    test::temp_dir dir;
    test::write_file(dir / "density.dat", c.input);
    test::recording_ui ui;
    const spectral_density_result r = read_spectral_density(dir / "density.dat", ui);
    ASSERT_EQ(r.outcome, spectral_density_outcome::completed);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
    ASSERT_EQ(r.table.row_count, static_cast<std::int32_t>(c.complete.size()));
    EXPECT_EQ(rows(r.table.rows.begin(), r.table.rows.begin() + r.table.row_count), c.complete);
    std::vector<std::string> expected{reading + "0"};
    for (const auto& n : c.row_numbers)
        expected.push_back(reading + n);
    expected.push_back(read_done);
    EXPECT_EQ(ui.statuses, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, spectral_density,
    ::testing::Values(
        density_case{"TwoLinesTwoRows",
                     "0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n",
                     {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}},
                     {"2", "3"}},
        density_case{"LfAndCrEnds",
                     "0.1 0.2 0.3\n0.4 0.5 0.6\r0.7 0.8 0.9",
                     {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}, {0.7, 0.8, 0.9}},
                     {"2", "3", "4"}},
        // The second line overwrites and completes the row the first one opened.
        density_case{
            "TwoNumbersThenThree", "7 8.5\r\n1.5 2.5 3.5\r\n", {{1.5, 2.5, 3.5}}, {"1", "2"}},
        // One-digit last numbers used to be dropped, leaving the row open.
        density_case{"ThreeOneDigitNumbersFillARow", "1 2 3\r\n", {{1, 2, 3}}, {"2"}},
        density_case{"EmptyAndShortLinesStoreNothing",
                     "\r\n12\r\n1 \r\n4 5 6\r\n",
                     {{4, 5, 6}},
                     {"1", "1", "1", "2"}},
        density_case{"MoreThanThreeFieldsTakeTheFirstThree", "1 2 3 4 5\r\n", {{1, 2, 3}}, {"2"}},
        density_case{"LeadingBlankGivesAnEmptyFirstField", " 1 2 3\r\n", {{0, 1, 2}}, {"2"}},
        density_case{"EmptyFile", "", rows{}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpectralDensityLines, AnOpenRowIsOverwrittenByTheNextLine) {
    spectral_density_table table;
    std::int32_t r = 1;
    store_spectral_density_line(table, r, "1 2 3");
    store_spectral_density_line(table, r, "9 8");
    store_spectral_density_line(table, r, "x 7");
    EXPECT_EQ(r, 2);
    EXPECT_EQ(table.rows, (rows{{1, 2, 3}, {0, 7, 0}})) << "Val of a non-number is 0";
}

TEST(SpectralDensityFailures, AnUnreadableFileIsReported) {
    test::temp_dir dir;
    test::recording_ui ui;
    EXPECT_EQ(read_spectral_density(dir / "missing.dat", ui).outcome,
              spectral_density_outcome::error_report);
    EXPECT_EQ(test::only_report(ui),
              "Error (File not found53) in (frm_tdss: "
              "cmd_read_input_file_click) routine.\n\rReturning to main menu");
}

TEST(CliSpectralDensity, PrintsTheCompleteRowsAndTheFinalStatus) {
    test::temp_dir dir;
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n4 5 6\r\n7 8\r\n");
    const auto r = test::run_cli({"spectral-density", "--input", (dir / "density.dat").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0.1 0.2 0.3\n4 5 6\n" + read_done + "\n");

    const auto missing =
        test::run_cli({"spectral-density", "--input", (dir / "missing.dat").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("Exclamation: Fatal - Error: Error (File not found53)", 0), 0u);
    EXPECT_EQ(test::run_cli({"spectral-density"}).status, 2);
}

} // namespace
} // namespace qm
