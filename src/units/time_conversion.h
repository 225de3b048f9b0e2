// Time Conversion Tool: every line of a text file that lists a duration as
// "<d> days <h> hours <m> minutes <s> seconds" is written back with the whole duration in one
// unit. Lines without the four groups are left out.
#pragma once

#include "platform/job_ui.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class time_unit { seconds, minutes, hours, days };

// "Seconds", "Minutes", "Hours", "Days": the word written after a total.
std::string_view time_unit_word(time_unit unit);
// Command-line names: seconds, minutes, hours, days.
std::optional<time_unit> time_unit_named(std::string_view name);

// The input as the job holds it: every line is a blank followed by the bytes before its line
// feed (a carriage return stays at its end); a last line without a line feed ends at the end of
// the file. Only the lines that list a duration are kept, each with its place among all lines:
// no other line gives output, so a long log costs the memory of its duration lines alone.
class time_lines {
public:
    void add(std::string_view bytes_before_lf);
    // Lines read, kept or not.
    std::size_t size() const { return count_; }
    // The kept lines, in order: the k-th one, leading blank included, and its place among all
    // lines (from 0).
    std::size_t kept() const { return places_.size(); }
    std::string_view operator[](std::size_t k) const;
    std::size_t place(std::size_t k) const { return places_[k]; }

private:
    std::string text_;
    std::vector<std::size_t> starts_;
    std::vector<std::size_t> places_;
    std::size_t count_ = 0;
};

// The value texts of one line's four groups, when all four were found in order.
struct duration_texts {
    std::string_view days, hours, minutes, seconds;
};

// Finds " days ", " hours ", " minutes " and " seconds" in that order, each search going on
// from where the previous marker matched. The value of a marker is the run of characters
// between the blank before it and the marker; a match with nothing there (two blanks before the
// word, or the word at the very start of the line) does not count and the search goes on.
std::optional<duration_texts> find_duration(std::string_view line);

// The total in the unit, worked out from the four values as single-precision numbers, left to
// right in double precision, then rounded to single precision. A value text that is not a
// number is "Type mismatch" (13); a value or a total beyond single precision is "Overflow" (6).
float duration_total(const duration_texts& texts, time_unit unit);

// The two lines after the echoed line: " 3723.5  Seconds" and an empty one.
std::string total_lines(float total, time_unit unit);

inline constexpr std::string_view read_routine = "frm_time_conversion cmd_execute_click";
inline constexpr std::string_view convert_routine = "frm_time_conversion submodule: convert";
inline constexpr std::string_view time_conversion_done_title = "Conversion Complete";
inline constexpr std::string_view time_conversion_done_text = "Conversion Completed";

enum class time_conversion_outcome { completed, error_report };

// Execute: reads the whole input (progress over the first half of a bar of twice the file's
// length; a line is at most 16 MB), then writes, for every line with the four groups, the line, its
// total and an empty line, each ended by a single line feed (progress over the second half). Ends
// in "Conversion Completed" or the error report (short form) naming the step that failed; the
// output keeps the lines written before a failure and is never the input ("File already open"
// 55 before anything is truncated).
time_conversion_outcome convert_time_file(const std::filesystem::path& input,
                                          const std::filesystem::path& output, time_unit unit,
                                          JobUi& ui);

} // namespace qm
