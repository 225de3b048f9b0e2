#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::run_cli;

struct cli_correlate : ::testing::Test {
    test::temp_dir dir;
    std::vector<std::string> args(std::vector<std::string> extra = {}) {
        std::vector<std::string> a = {"correlate",
                                      "--input1",
                                      (dir / "a.dat").string(),
                                      "--input2",
                                      (dir / "b.dat").string(),
                                      "--output",
                                      (dir / "c.dat").string()};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }
};

TEST_F(cli_correlate, RunsTheWholeCalculationWithTheWindowsOptions) {
    test::write_file(dir / "a.dat", "1\n2\n3\n");
    test::write_file(dir / "b.dat", "1\n2\n3\n");
    auto r = run_cli(args());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Information: Processing Finished: Correlation Function Calculation Complete\n");
    EXPECT_EQ(test::read_file(dir / "c.dat"), " 14 \r\n 8 \r\n 3 \r\n");

    r = run_cli(args({"--mean", "--unity"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::read_file(dir / "c.dat"), " 1 \r\n 0.4 \r\n 0 \r\n");
    r = run_cli(args({"--msd"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::read_file(dir / "c.dat"), "-7 \r\n-4 \r\n-1.5 \r\n");
}

TEST_F(cli_correlate, StopsWithStatusOneOnMessagesAndReports) {
    test::write_file(dir / "a.dat", "1\n2\n3\n");
    test::write_file(dir / "b.dat", "1\n2\n");
    auto r = run_cli(args());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Exclamation: Fatal - Error: Error - Input files are different lengths - "
                     "File 1 = 2 File 2 = 1\n\rReturning to main menu\n");
    test::write_file(dir / "b.dat", "1\n2\n3");
    r = run_cli(args());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "Exclamation: Fatal - Error: Error (Input past end of file) in "
              "(correlation_functions_load_input_files) routine.\n\rReturning to main menu\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "c.dat"));
}

TEST_F(cli_correlate, TheTwoScalingsAreAUsageError) {
    test::write_file(dir / "a.dat", "1\n");
    test::write_file(dir / "b.dat", "1\n");
    const auto r = run_cli(args({"--msd", "--unity"}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("excludes"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "c.dat"));
    EXPECT_EQ(run_cli({"correlate", "--input1", "x"}).status, 2);
}

} // namespace
} // namespace qm
