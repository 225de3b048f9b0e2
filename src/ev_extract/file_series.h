// The numbered series of Gaussian outputs: file names by slot, slot = file number - start + 1.
// With an interval above 1 only slots 1, 1 + interval, 1 + 2 interval, ... are used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct file_series {
    std::string data_path;               // folder, with its trailing separator
    std::vector<std::string> file_names; // index = slot; [0] unused
    long long file_count = 0;            // the highest slot used
    long long slot_interval = 1;
};

// What picking one file of the series fills in: its folder, the name's prefix (trailing digits
// removed) and suffix (from the first "."), and whether it is compressed.
struct picked_file {
    std::string data_path;
    std::string prefix;
    std::string suffix;
    bool compressed = false; // the name ends with ".gz" or ".zip" (any case)
};

picked_file pick_series_file(std::string_view full_path, std::string_view file_title);

// The texts Scan File Names reads.
struct series_texts {
    std::string prefix, suffix, start, end, interval;
};

inline constexpr std::string_view interval_invalid_title = "Interval invalid";
inline constexpr std::string_view interval_invalid_text =
    "Interval is not valid within specified file limits.";

// The slots of the series, or nothing when the interval does not fit the range (the caller
// shows the "Interval invalid" message). Texts that are not numbers are run errors.
struct scan_result {
    bool valid = false;
    file_series series;
};
scan_result scan_file_series(const series_texts& texts, const std::string& data_path);

} // namespace qm
