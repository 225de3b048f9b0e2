#include "cli/commands.h"

#include "support/td_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

int run_cli(std::vector<std::string> args, std::string* out = nullptr) {
    args.insert(args.begin(), "quillmark-cli");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    std::ostringstream o, e;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), o, e);
    if (out != nullptr)
        *out = o.str();
    return status;
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

TEST(CliEvExtract, IntervalInvalidIsTheWindowsMessage) {
    std::string out;
    EXPECT_EQ(run_cli({"ev-extract", "--no-status-log", "--end", "3", "--interval", "5"}, &out), 1);
    EXPECT_EQ(out,
              "Critical: Interval invalid: Interval is not valid within specified file limits.\n");
}

} // namespace
} // namespace qm
