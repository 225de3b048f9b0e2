#include "stokes/spectral_density.h"

#include "stokes/job_checks.h"

namespace qm {
namespace {

using rows = std::vector<std::array<double, 3>>;

const std::string read_done = "Successfully Read Input Data - Ready to process.";

// Three numbers fill a row and open the next; a line under three characters is none, a field
// that is no number is 0. Shown after the rows: the open row after each line.
TEST(SpectralDensity, FillsRowsOfThreeAndReportsTheOpenRow) {
    const std::tuple<std::string, rows, std::string> cases[] = {
        {"0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n", {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}}, "23"},
        {"0.1 0.2 0.3\n0.4 0.5 0.6\r7 8 9", {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}, {7, 8, 9}}, "234"},
        // The second line overwrites and completes the row the first one opened.
        {"7 8.5\r\n1.5 2.5 3.5\r\n", {{1.5, 2.5, 3.5}}, "12"},
        // One-digit last numbers used to be dropped, leaving the row open.
        {"1 2 3\r\n", {{1, 2, 3}}, "2"},
        {"\r\n12\r\n1 \r\n4 5 6\r\n", {{4, 5, 6}}, "1112"}, // empty and short lines store nothing
        {"1 2 3 4 5\r\nx 7 y\r\n", {{1, 2, 3}, {0, 7, 0}}, "23"}, // the first three of more fields
        {" 1 2 3\r\n", {{0, 1, 2}}, "2"}, // a leading blank gives an empty first field
        {"", rows{}, ""}};
    for (const auto& [input, complete, open_rows] : cases) {
        SCOPED_TRACE(input);
        test::temp_dir dir;
        test::write_file(dir / "density.dat", input);
        test::recording_ui ui;
        const spectral_density_result r = read_spectral_density(dir / "density.dat", ui);
        EXPECT_EQ(r.outcome, spectral_density_outcome::completed);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(r.table.row_count, static_cast<std::int32_t>(complete.size()));
        EXPECT_EQ(rows(r.table.rows.begin(), r.table.rows.begin() + r.table.row_count), complete);
        std::string open = ui.statuses.back() == read_done ? "" : "?";
        for (const std::string& status : ui.statuses)
            if (status.starts_with("Reading Spectral Density from input file - Line number = "))
                open += status.substr(57);
        EXPECT_EQ(open, "0" + open_rows);
    }
}

TEST(CliSpectralDensity, PrintsTheCompleteRowsAndTheFinalStatus) {
    test::temp_dir dir;
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n4 5 6\r\n7 8\r\n");
    const auto r = test::run_cli({"spectral-density", "--input", (dir / "density.dat").string()});
    EXPECT_EQ(r.out, "0.1 0.2 0.3\n4 5 6\n" + read_done + "\n");
}

} // namespace
} // namespace qm
