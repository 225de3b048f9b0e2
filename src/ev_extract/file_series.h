// The numbered series of Gaussian outputs: slot s holds the file numbered start + (s - 1).
// With an interval above 1 only slots 1, 1 + interval, 1 + 2 interval, ... are used. The names
// are made when asked for and the tables keep the used slots only, so a series costs memory
// by the files it uses, not by the span of their numbers.
#pragma once

#include "platform/job_ui.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct file_series {
    std::string data_path;      // folder, with its trailing separator
    std::string prefix, suffix; // around the file number
    double first_number = 1;    // the number of the file in slot 1
    long long file_count = 0;   // the highest slot used
    long long slot_interval = 1;
    int digits = 0; // file numbers zero-padded to this many digits ("frame_0001"); 0: none

    // How many slots are used: 1, 1 + interval, ... up to file_count.
    long long used_slots() const {
        return file_count < 1 ? 0 : (file_count - 1) / slot_interval + 1;
    }
    // Where the tables keep used slot f: 0 for slot 1, 1 for slot 1 + interval, ...
    std::size_t used_index(long long f) const {
        return static_cast<std::size_t>((f - 1) / slot_interval);
    }
    // The file of slot f: the prefix, its number in plain decimal (zero-padded to `digits`),
    // the suffix.
    std::string file_name(long long f) const;
};

// What picking one file of the series fills in: its folder, the name's prefix (trailing digits
// removed) and suffix (from the first "."), and whether it is compressed. A number written with
// leading zeros ("frame_0001") gives its width as the series' digits; one without gives 0, as a
// series numbered without padding needs.
struct picked_file {
    std::string data_path;
    std::string prefix;
    std::string suffix;
    bool compressed = false; // the name ends with ".gz" or ".zip" (any case)
    bool numbered = false;   // the name holds a number before its suffix
    int digits = 0;
};

// The refusal of a picked file whose name holds no number.
inline constexpr std::string_view unnumbered_file_title = "No File Number";
std::string unnumbered_file_text(std::string_view file_title);

picked_file pick_series_file(std::string_view full_path, std::string_view file_title);

// The texts Scan File Names reads.
struct series_texts {
    std::string prefix, suffix, start, end, interval;
    std::string digits = "0"; // the width file numbers are padded to
};

inline constexpr std::string_view interval_invalid_title = "Interval invalid";
inline constexpr std::string_view interval_invalid_text =
    "Interval is not valid within specified file limits.";

// Slots are counted in 32 bits: a range may span at most this many file numbers.
inline constexpr long long max_series_span = std::numeric_limits<std::int32_t>::max();
// File numbers are padded to at most this many digits.
inline constexpr int max_file_digits = 18;

// The slots of the series. Not valid when the interval does not fit the range (the caller shows
// the "Interval invalid" message) or when the range is more than the series can hold (the
// refusal says why, naming the limit). Texts that are not numbers are run errors.
struct scan_result {
    bool valid = false;
    file_series series;
    std::optional<std::string> refusal;
};
scan_result scan_file_series(const series_texts& texts, const std::string& data_path);

inline constexpr std::string_view series_refused_title = "File Range Too Large";

// The message of a scan that gave no series: "Interval invalid", or why the range was refused.
void show_scan_refusal(const scan_result& result, JobUi& ui);

} // namespace qm
