#include "ev_extract/file_series.h"
#include "platform/run_error.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The folder, the prefix before the file number, the suffix from the first dot; compressed
// by the name's ending, whatever its case.
TEST(PickSeriesFile, PrefixSuffixAndCompression) {
    for (const auto& [title, parts] : std::vector<std::pair<std::string, std::string>>{
             {"gap0123.gout", "/d/|gap|.gout|plain"},
             {"run5.gout.gz", "/d/|run|.gout.gz|compressed"},
             {"a1.ZIP", "/d/|a|.ZIP|compressed"},
             {"snap42", "/d/|snap||plain"},
             {"0042.out", "/d/||.out|plain"}}) {
        const picked_file p = pick_series_file("/d/" + title, title);
        EXPECT_EQ(p.data_path + "|" + p.prefix + "|" + p.suffix + "|" +
                      (p.compressed ? "compressed" : "plain"),
                  parts);
    }
}

TEST(ScanFileSeries, IntervalFillsEveryNthSlot) {
    const auto r = scan_file_series({"gap", ".gout", "1", "20", "5"}, "/d/");
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.series.file_count, 16);
    EXPECT_EQ(r.series.slot_interval, 5);
    EXPECT_EQ(r.series.file_name(1), "gap1.gout");
    EXPECT_EQ(r.series.file_name(6), "gap6.gout");
    EXPECT_EQ(r.series.file_name(16), "gap16.gout");
    EXPECT_EQ(r.series.used_slots(), 4);
    EXPECT_EQ(r.series.used_index(16), 3u);
}

// The names are made when asked for and the tables hold the used slots only: a range of files
// far apart or a huge range costs nothing at the scan.
TEST(ScanFileSeries, hugeRangeIsRefusedNamingTheLimitBeforeAnythingIsAllocated) {
    auto r = scan_file_series({"gap", ".gout", "1000", "2000000", "1000"}, "");
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.series.used_slots(), 2000);
    EXPECT_EQ(r.series.file_count, 1999001);
    EXPECT_EQ(r.series.file_name(1999001), "gap2000000.gout");
    r = scan_file_series({"gap", ".gout", "1", "99999999999", "1"}, "");
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.refusal, "The file range spans 99999999999 file numbers; a series can span at "
                         "most 2147483647 file numbers.");
    r = scan_file_series({"gap", ".gout", "1", "2000000000", "1"}, "");
    ASSERT_TRUE(r.refusal);
    EXPECT_EQ(r.refusal->rfind("The tables for 2000000000 files, 1 root and 1 state searched "
                               "need 1005.8 GB, more than the ",
                               0),
              0u)
        << *r.refusal;
}

TEST(ScanFileSeries, RangesAndRefusals) {
    auto r = scan_file_series({"g", ".o", "3", "10", "1"}, "");
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.series.file_count, 8);
    EXPECT_EQ(r.series.file_name(8), "g10.o");
    r = scan_file_series({"g", ".o", "5", "2", "1"}, ""); // start after end: no files
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.series.file_count, 0);
    for (const char* interval : {"0", "-2", "0.4"})
        EXPECT_FALSE(scan_file_series({"g", ".o", "1", "10", interval}, "").valid) << interval;
    EXPECT_FALSE(scan_file_series({"g", ".o", "1", "3", "5"}, "").valid); // end below interval
    EXPECT_THROW(scan_file_series({"g", ".o", "one", "3", "1"}, ""), run_error);
}

} // namespace
} // namespace qm
