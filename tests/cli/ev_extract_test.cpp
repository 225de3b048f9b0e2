#include "cli/commands.h"

#include "support/cli_support.h"
#include "support/td_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

int run_cli(std::vector<std::string> args, std::string* out = nullptr) {
    const auto r = test::run_cli(std::move(args));
    if (out != nullptr)
        *out = r.out;
    return r.status;
}

TEST(CliEvExtract, PickedFileSeriesEndToEnd) {
    test::temp_dir dir;
    for (int i = 1; i <= 2; ++i)
        test::write_gzip(dir / ("run" + std::to_string(i) + ".gout.gz"),
                         test::td_output({{3.5, 0.2}, {2.5, 0.1}}));
    std::string out;
    EXPECT_EQ(run_cli({"ev-extract", "--pick", (dir / "run1.gout.gz").string(), "--end", "2",
                       "--root-end", "2", "--limit-low", "0", "--limit-high", "10", "--roots", "2",
                       "--no-status-log"},
                      &out),
              0);
    EXPECT_EQ(out, "Information: Processing Finished: Extraction Complete\n");
    EXPECT_EQ(test::read_file(dir / "freqgapEV.2"), " 2      2.5 \r\n 4      2.5 \r\n");
}

// The TDM routines write into the working folder: run them inside the test's own.
struct working_folder {
    explicit working_folder(const std::filesystem::path& folder)
        : saved(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~working_folder() { std::filesystem::current_path(saved); }
    std::filesystem::path saved;
};

TEST(CliEvExtract, TdmRoutinesWithTheFittingProgramBesideUs) {
    test::temp_dir dir;
    const std::string structure = " C   0.0 0.0 0.0 \n C   1.5 0.0 0.0 \n O   0.0 1.4 0.0 \n"
                                  " H   0.3 0.2 1.1 \n";
    test::td_state a{3.5, 0.3}, b{2.5, 0.2};
    a.x = 0.5;
    b.z = -0.4;
    for (int i = 1; i <= 3; ++i)
        test::write_file(dir / ("gap" + std::to_string(i) + ".gout"),
                         test::td_output({a, b}, test::default_scf, structure));
    test::write_file(dir / "prmtop", "topology\n");
    working_folder here(dir.path());
    std::string out;
    ASSERT_EQ(run_cli({"ev-extract", "--prefix", "gap", "--end", "3", "--root-end", "2",
                       "--limit-low", "0", "--limit-high", "10", "--roots", "2", "--tdm-angle",
                       "--raw-tdms", "--rel-tdm"},
                      &out),
              0)
        << out;
    EXPECT_EQ(test::read_file(dir / "vector_angles_after_fit.dat"),
              test::read_file(dir / "vector_angles_before fit.dat"));
    EXPECT_EQ(test::read_file(dir / "transformed_tdm.1.dat"),
              test::read_file(dir / "raw_tdm.1.dat"));
    const auto log = test::lines_of(test::read_file(dir / "execution_status.dat"));
    EXPECT_EQ(log.back(), "Closing Status File\r");
}

// A series split over a cluster's array jobs, each chunk with its own output folder and the
// slots before it as time offset: the chunks' files joined are the files of one run.
TEST(CliEvExtract, TwoChunksJoinedEqualOneRun) {
    test::temp_dir dir;
    for (int i = 1; i <= 5; ++i) {
        test::td_state a{3.0 + 0.1 * i, 0.3}, b{2.5 - 0.05 * i, 0.2};
        a.x = 0.1 * i;
        b.z = -0.2;
        test::write_file(dir / ("gap" + std::to_string(i) + ".gout"), test::td_output({a, b}));
    }
    for (const char* folder : {"one", "a", "b"})
        std::filesystem::create_directory(dir / folder);
    // Every chunk writes its rad/s series as one file, as the one run does (README).
    const std::vector<std::string> settings{
        "--root-end",   "2",          "--limit-low", "0",     "--limit-high", "10",
        "--roots",      "2",          "--time-step", "1.5",   "--tdm",        "--scf-energies",
        "--scf-cycles", "--orbitals", "--points",    "100000"};
    const auto run = [&](const char* folder, const char* start, const char* end,
                         const char* offset) {
        std::vector<std::string> args{"ev-extract",
                                      "--dir",
                                      dir.path().string(),
                                      "--prefix",
                                      "gap",
                                      "--start",
                                      start,
                                      "--end",
                                      end,
                                      "--time-offset",
                                      offset,
                                      "--output-dir",
                                      (dir / folder).string()};
        args.insert(args.end(), settings.begin(), settings.end());
        return run_cli(args);
    };
    ASSERT_EQ(run("one", "1", "5", "0"), 0);
    ASSERT_EQ(run("a", "1", "2", "0"), 0);
    ASSERT_EQ(run("b", "3", "5", "2"), 0);
    std::string out;
    ASSERT_EQ(run_cli({"merge-series", "--output", (dir / "all").string(), (dir / "a").string(),
                       (dir / "b").string()},
                      &out),
              0);
    EXPECT_EQ(out, "Information: Merge Complete: 17 files joined from 2 chunks\n");
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "one")) {
        const std::string name = entry.path().filename().string();
        if (name == "execution_status.dat")
            continue; // each run's own log, with its own times and options
        EXPECT_EQ(test::read_file(dir / "all" / name), test::read_file(entry.path())) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 16);
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgapEV.1")) << "nothing beside the inputs";
}

TEST(CliEvExtract, RefusesWhatTheWindowWouldNotAllow) {
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--tdm-separate"},
          {"--rel-tdm", "--interval", "2"},
          {"--tdm-angle", "--roots", "3"},
          {"--align-only", "--rel-tdm", "--roots", "1"},
          {"--orb1", "2:3"}, // not in orbital-profile mode
          {"--mode", "orbital", "--roots", "3", "--orb2", "1:2"},
          {"--points", "1.5"}, // the points box takes digits only
          {"--start", "-1"},
          {"--output-prefix", ""},
          {"--mode", "best"}}) {
        std::vector<std::string> args{"ev-extract", "--no-status-log"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::string out;
        EXPECT_EQ(run_cli(args, &out), 2) << extra[0];
        EXPECT_TRUE(out.empty()) << out;
    }
}

TEST(CliEvExtract, hugeFileRangeIsRefusedNamingTheLimitNotABadAlloc) {
    std::string out;
    EXPECT_EQ(run_cli({"ev-extract", "--no-status-log", "--end", "99999999999"}, &out), 1);
    EXPECT_EQ(out, "Exclamation: File Range Too Large: The file range spans 99999999999 file "
                   "numbers; a series can span at most 2147483647 file numbers.\n");
}

TEST(CliEvExtract, IntervalInvalidIsTheWindowsMessage) {
    std::string out;
    EXPECT_EQ(run_cli({"ev-extract", "--no-status-log", "--end", "3", "--interval", "5"}, &out), 1);
    EXPECT_EQ(out,
              "Critical: Interval invalid: Interval is not valid within specified file limits.\n");
}

} // namespace
} // namespace qm
