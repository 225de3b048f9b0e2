#include "support/cli_support.h"
#include "support/td_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(CliEvExtract, PickedFileSeriesEndToEnd) {
    test::temp_dir dir;
    for (int i = 1; i <= 2; ++i)
        test::write_gzip(dir / ("run" + std::to_string(i) + ".gout.gz"),
                         test::td_output({{3.5, 0.2}, {2.5, 0.1}}));
    const auto r = test::run_words("ev-extract --end 2 --root-end 2 --limit-low 0 --limit-high 10 "
                                   "--roots 2 --no-status-log --pick " +
                                   (dir / "run1.gout.gz").string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Information: Processing Finished: Extraction Complete\n");
    EXPECT_EQ(test::read_file(dir / "freqgapEV.2"), " 2      2.5 \r\n 4      2.5 \r\n");
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
    // Every chunk writes its rad/s series as one file, as the one run does (README).
    const auto run = [&](const char* folder, const char* chunk) {
        std::filesystem::create_directory(dir / folder);
        return test::run_words("ev-extract --prefix gap --root-end 2 --limit-low 0 --limit-high "
                               "10 --roots 2 --time-step 1.5 --tdm --scf-energies --scf-cycles "
                               "--orbitals --points 100000 --dir " +
                               dir.path().string() + " --output-dir " + (dir / folder).string() +
                               " " + chunk)
            .status;
    };
    ASSERT_EQ(run("one", "--start 1 --end 5 --time-offset 0"), 0);
    ASSERT_EQ(run("a", "--start 1 --end 2 --time-offset 0"), 0);
    ASSERT_EQ(run("b", "--start 3 --end 5 --time-offset 2"), 0);
    const auto r = test::run_words("merge-series --output " + (dir / "all").string() + " " +
                                   (dir / "a").string() + " " + (dir / "b").string());
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Information: Merge Complete: 17 files joined from 2 chunks\n");
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

} // namespace
} // namespace qm
