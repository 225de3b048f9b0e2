#include "stokes/spectral_density.h"

#include "stokes/job_checks.h"

namespace qm {
namespace {

using rows = std::vector<std::array<double, 3>>;

const std::string read_done = "Successfully Read Input Data - Ready to process.";

// Three numbers fill a row; the status after each line shows the open row.
TEST(SpectralDensity, FillsRowsOfThreeAndReportsTheOpenRow) {
    // The input, the rows it completes, and the open row after each line.
    const std::tuple<std::string, rows, std::string> cases[] = {
        {"0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n", {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}}, "23"},
        {"0.1 0.2 0.3\n0.4 0.5 0.6\r7 8 9", {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}, {7, 8, 9}}, "234"},
        // The second line overwrites and completes the row the first one opened.
        {"7 8.5\r\n1.5 2.5 3.5\r\n", {{1.5, 2.5, 3.5}}, "12"},
        // One-digit last numbers used to be dropped, leaving the row open.
        {"1 2 3\r\n", {{1, 2, 3}}, "2"},
        {"\r\n12\r\n1 \r\n4 5 6\r\n", {{4, 5, 6}}, "1112"}, // empty and short lines store nothing
        {"1 2 3 4 5\r\n", {{1, 2, 3}}, "2"},                // the first three of more fields
        {" 1 2 3\r\n", {{0, 1, 2}}, "2"}, // a leading blank gives an empty first field
        {"", rows{}, ""}};
    for (const auto& [input, complete, open_rows] : cases) {
        test::temp_dir dir;
        test::write_file(dir / "density.dat", input);
        test::recording_ui ui;
        const spectral_density_result r = read_spectral_density(dir / "density.dat", ui);
        ASSERT_EQ(r.outcome, spectral_density_outcome::completed);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        ASSERT_EQ(r.table.row_count, static_cast<std::int32_t>(complete.size()));
        EXPECT_EQ(rows(r.table.rows.begin(), r.table.rows.begin() + r.table.row_count), complete);
        std::vector<std::string> statuses;
        for (const char row : "0" + open_rows)
            statuses.push_back("Reading Spectral Density from input file - Line number = " +
                               std::string(1, row));
        statuses.push_back(read_done);
        EXPECT_EQ(ui.statuses, statuses) << input;
    }
}

TEST(SpectralDensity, AnOpenRowIsOverwrittenByTheNextLineAndANonNumberIsZero) {
    spectral_density_table table;
    std::int32_t r = 1;
    for (const char* line : {"1 2 3", "9 8", "x 7", "55"}) // a line under 3 characters is none
        store_spectral_density_line(table, r, line);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(table.rows, (rows{{1, 2, 3}, {0, 7, 0}}));
}

TEST(CliSpectralDensity, PrintsTheCompleteRowsAndTheFinalStatus) {
    test::temp_dir dir;
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n4 5 6\r\n7 8\r\n");
    const auto r = test::run_cli({"spectral-density", "--input", (dir / "density.dat").string()});
    EXPECT_EQ(r.out, "0.1 0.2 0.3\n4 5 6\n" + read_done + "\n");
    EXPECT_EQ(test::run_cli({"spectral-density", "--input", (dir / "none").string()}).out,
              "Exclamation: Fatal - Error: Error (File not found53) in (frm_tdss: "
              "cmd_read_input_file_click) routine.\n\rReturning to main menu\n");
    EXPECT_EQ(test::run_cli({"spectral-density"}).status, 2);
}

} // namespace
} // namespace qm
