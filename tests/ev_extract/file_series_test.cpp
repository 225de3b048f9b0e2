#include "ev_extract/file_series.h"
#include "platform/run_error.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The folder, the prefix before the file number, the suffix from the first dot; compressed
// by the name's ending, whatever its case. A number with leading zeros gives the width of the
// series' numbers; a name without a number is no file of a series.
TEST(PickSeriesFile, PrefixSuffixDigitsAndCompression) {
    std::string parts; // ".gz" and no suffix: the window's test
    for (const std::string title :
         {"gap0123.gout", "a1.ZIP", "0042.out", "frame_0001.log", "gap17.gout", "run.gout"}) {
        const picked_file p = pick_series_file("/d/" + title, title);
        parts += p.data_path + "|" + p.prefix + "|" + p.suffix + (p.compressed ? "|zip" : "") +
                 (p.numbered ? "|" + std::to_string(p.digits) : "|none") + ";";
    }
    EXPECT_EQ(parts, "/d/|gap|.gout|4;/d/|a|.ZIP|zip|0;/d/||.out|4;/d/|frame_|.log|4;"
                     "/d/|gap|.gout|0;/d/|run|.gout|none;");
}

// Padded to four digits, a wider number as it is.
TEST(ScanFileSeries, ZeroPaddedNumbers) {
    const auto r = scan_file_series({"frame_", ".log", "998", "10001", "1", "4"}, "");
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.series.file_name(1) + " " + r.series.file_name(3) + " " +
                  r.series.file_name(r.series.file_count),
              "frame_0998.log frame_1000.log frame_10001.log");
}

// A scan as "<files> <used slots> <first name> <last name>", "invalid", or why it is refused.
std::string scan_of(const char* start, const char* end, const char* interval) {
    const auto r = scan_file_series({"gap", ".gout", start, end, interval}, "");
    const file_series& s = r.series;
    if (!r.valid)
        return r.refusal.value_or("invalid");
    return std::to_string(s.file_count) + " " + std::to_string(s.used_slots()) +
           (s.file_count < 1 ? "" : " " + s.file_name(1) + " " + s.file_name(s.file_count));
}

// The names are made when asked for and the tables hold the used slots only: a range of files
// far apart costs nothing at the scan.
TEST(ScanFileSeries, RangesIntervalsAndRefusals) {
    using row = std::tuple<const char*, const char*, const char*, std::string>;
    for (const auto& [start, end, interval, scan] :
         std::vector<row>{{"1", "20", "5", "16 4 gap1.gout gap16.gout"},
                          {"3", "10", "1", "8 8 gap3.gout gap10.gout"},
                          {"1000", "2000000", "1000", "1999001 2000 gap1000.gout gap2000000.gout"},
                          {"5", "2", "1", "0 0"}, // start after end: no files
                          {"1", "10", "0", "invalid"},
                          {"1", "10", "-2", "invalid"},
                          {"1", "10", "0.4", "invalid"},
                          {"1", "3", "5", "invalid"}, // end below the interval
                          // hugeRangeIsRefusedNamingTheLimitBeforeAnythingIsAllocated
                          {"1", "99999999999", "1",
                           "The file range spans 99999999999 file numbers; a series "
                           "can span at most 2147483647 file numbers."}})
        EXPECT_EQ(scan_of(start, end, interval), scan) << start << " " << end << " " << interval;
    // The need counts the workers' read buffers too, which follow this machine's memory.
    const std::string too_many = scan_of("1", "2000000000", "1");
    EXPECT_EQ(too_many.substr(0, 66),
              "The tables for 2000000000 files, 1 root and 1 state searched need ");
    EXPECT_NE(too_many.find(" GB, more than the "), std::string::npos) << too_many;
    EXPECT_THROW(scan_of("one", "3", "1"), run_error);
}

} // namespace
} // namespace qm
