// Text File Character Extraction: the pre-scan that measures a file's head and the extraction
// that cuts up to five character ranges out of every line and writes them, joined, as lines.
//
// Text is single-byte; a line is the bytes before a line feed, so the carriage return of a
// CR LF file is an ordinary last character of its line (counted, copied when a range reaches
// the end of the line).
#pragma once

#include "platform/job_ui.h"
#include "platform/run_error.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The pre-scan looks at the head of the file only, so choosing the output file stays quick.
inline constexpr std::uint64_t prescan_line_limit = 200;
inline constexpr std::size_t preview_limit = 2000;

struct prescan_result {
    // Longest measured line of the first 200: a leading space, the line's bytes and its
    // carriage return if it has one (80 characters + CR LF -> 82). 64 bits: lines of any
    // length are measured.
    std::uint64_t max_line_length = 0;
    // Always 1: the proposed start of range 1.
    std::uint64_t min_value = 1;
    // "\r\n" + measured line for each line scanned, cut to its first 2000 characters.
    std::string preview;
};

// Called at the start of every line with the bytes consumed so far.
using byte_progress = std::function<void(std::uint64_t position)>;

// Reads at most 200 lines. Memory stays bounded whatever the lines' lengths: a line is
// counted, not held.
prescan_result prescan_text_file(std::istream& in, const byte_progress& progress = {});

// The window's pre-scan: progress over the file's length, "Pre Scanning File", the scan, then
// "File Scanned - Line Length Max = <max> Min = <min>" and the bar at its maximum. A file that
// cannot be opened or read ends the scan without a message: nullopt, with the failure kept in
// `*failure` when given (the command line names it; the window says nothing).
std::optional<prescan_result> run_prescan(const std::filesystem::path& input, JobUi& ui,
                                          run_error* failure = nullptr);

// One range as typed: the Start and Finish texts.
struct range_texts {
    std::string start;
    std::string finish;
};
inline constexpr std::size_t range_count = 5;
using range_entry = std::array<range_texts, range_count>;

// Positions counted from 1, finish included.
struct char_range {
    std::uint64_t start = 0;
    std::uint64_t finish = 0;
};

// The checks Execute makes before it opens anything, in their order. Range 1 is required;
// ranges 2 to 5 take part when their Start text is not empty, whether or not the boxes are
// enabled. Returns the message of the first failure (nothing is filled in then); a text that
// is not a number throws "Type mismatch" (13), as any run error of the extraction.
std::optional<std::string> check_ranges(const range_entry& texts, std::uint64_t max_line_length,
                                        std::vector<char_range>& ranges);

// The pieces of one line, in range order, no separator: from `start` up to `finish` or the end
// of the line, whichever comes first; nothing when the line is shorter than `start`.
void append_pieces(std::string_view line, const std::vector<char_range>& ranges, std::string& out);

// Streams `in` line by line (a last line without a line feed counts) and hands the output to
// `write` in large blocks; every output line ends with a single line feed.
void extract_character_ranges(std::istream& in, const std::vector<char_range>& ranges,
                              const std::function<void(std::string_view)>& write,
                              const byte_progress& progress = {});

enum class extraction_outcome {
    invalid_ranges, // a validation message was shown; nothing was opened
    completed,      // "File Extraction Completed" was shown
    failed,         // an error report was shown; the output keeps what was written
};

// The routine label of this tool's error report, which has no title of its own: the box shows
// the application's title.
inline constexpr std::string_view extraction_routine = "cmd_execute - click";
inline constexpr std::string_view application_title = "Quillmark";

// Execute: hourglass, range checks, then the extraction of `input` into `output` with status
// and progress, the completion message or the error report. The output is never the input
// ("File already open" 55 before anything is truncated).
extraction_outcome run_character_extraction(const std::filesystem::path& input,
                                            const std::filesystem::path& output,
                                            const range_entry& texts, std::uint64_t max_line_length,
                                            JobUi& ui);

} // namespace qm
