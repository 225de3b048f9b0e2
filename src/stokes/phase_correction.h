// Phase correction: removes the jumps of 2 pi from a column of phase angles (radians) in a
// text file. A phase reported within a range of width 2 pi jumps by about 2 pi whenever it
// wraps; every step of more than 5.0 between the raw phases of two lines in a row counts as
// one wrap, and the corrections add up over the whole file. The other fields are copied as
// they stand.
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct phase_correction_settings {
    std::filesystem::path input;
    std::filesystem::path output;
    // The text of the phase column box: the number of the phase field, counted from 1.
    std::string phase_column = "3";
};

inline constexpr std::string_view phase_correction_routine =
    "frm_Phase_Correction: cmd_execute_click";
inline constexpr std::string_view phase_correction_done_title = "Processing Complete";
inline constexpr std::string_view phase_correction_done_text = "Conversion Complete";
inline constexpr std::string_view phase_column_invalid_title = "Invalid Phase Column";
inline constexpr std::string_view phase_column_invalid_text =
    "The phase column must be a number of at least 1.";

// The field number a phase column text names: the integer part of the number it holds ("3",
// "3.0" and "3.7" name field 3; blanks around it allowed); nothing for a text that is not a
// number or names no field (below 1), which would copy the file without a single correction.
std::optional<std::int32_t> phase_column_from_text(std::string_view text);

// The wrap count of a run, starting at 0 for every file.
class phase_unwrapper {
public:
    // The corrected phase of the next raw phase: x - (2 up) pi + (2 down) pi, left to right,
    // with the wrap counts after comparing x with the previous raw phase (0 before the first).
    double correct(double x);
    // The raw and the corrected phase of the last call.
    double last_raw() const { return previous_; }
    double last_corrected() const { return corrected_; }

private:
    double previous_ = 0;
    double corrected_ = 0;
    std::int32_t up_ = 0;
    std::int32_t down_ = 0;
};

// The output line for one input line (ending CR LF): every field followed by one blank, field
// `column` replaced by the text form of its corrected phase. A blank line holds no phase and
// is written as its empty fields; any other line without that field is "Subscript out of
// range" (9); a phase that is not a number is "Type mismatch" (13).
std::string corrected_line(std::string_view line, std::int32_t column, phase_unwrapper& phases);

enum class phase_correction_outcome { completed, column_invalid, error_report };

// Reads the input line by line (lines may end CR LF, LF or CR) and writes the output (replaced
// when it exists). An invalid column is a message before any file is touched; a failure is the
// routine's error report (number form), after which the output keeps the lines written before
// it. A last line without a line end is written, then reported as "Input past end of file"
// (62): it may be the remains of a file cut short. With `chart`, a completed run also gives the
// phase of every line as read and as corrected.
phase_correction_outcome correct_phases(const phase_correction_settings& settings, JobUi& ui,
                                        chart_data* chart = nullptr);

} // namespace qm
