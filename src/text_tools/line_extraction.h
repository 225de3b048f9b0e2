// Text line extraction: every n-th line of a text file, from a chosen start line, into a new
// file. A line is the bytes up to a line feed (a carriage return before it stays in the line);
// every line written ends in a single line feed.
#pragma once

#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace qm {

struct line_extraction_settings {
    std::filesystem::path input;
    std::filesystem::path output;
    // Line numbers count from 1 and are 64 bits wide: files of more than 2^31 lines work.
    std::uint64_t start_line = 1;
    std::uint64_t frequency = 4;
};

enum class line_extraction_outcome { completed, start_beyond_end, error_report };

inline constexpr std::string_view line_extraction_routine =
    "frm_text_line_extraction: cmd_execute_click";
inline constexpr std::string_view start_beyond_end_title = "Fatal Error - Aborting";
inline constexpr std::string_view start_beyond_end_text =
    "Error - Start line is larger than number of lines in file.";
inline constexpr std::string_view extraction_done_title = "Job Finished";
inline constexpr std::string_view extraction_done_text = "Extraction Completed.";

// The start line and frequency boxes take digits and Backspace only.
bool accepts_line_number_key(char key);

// Execute may run only when both boxes hold a whole number of at least 1: a start line of 0
// names no line and a frequency of 0 would never get past the start line.
bool line_numbers_usable(std::string_view start_text, std::string_view frequency_text);

// Writes lines start, start + frequency, ... to the output. The input is read once, streamed
// (a pipe works), and the output is created only when the start line is reached, so nothing is
// created when it does not exist. Ends in "Extraction Completed.", the start-line message or the
// routine's error report (number form); the output keeps what was written before a failure.
line_extraction_outcome extract_every_nth_line(const line_extraction_settings& settings, JobUi& ui);

} // namespace qm
