// The spectral density reader of the time-dependent Stokes shift window: a text file of
// blank-separated numbers, three to a row. Lines may end CR LF, LF or CR. A line of fewer than
// three characters stores nothing; any other line stores its first three fields (Val of each,
// 0 for an empty one) into the open row, and the row is complete once its third field is
// stored. A line of one or two fields leaves the row open, so the next line overwrites and
// completes it.
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr std::string_view spectral_density_routine = "frm_tdss: cmd_read_input_file_click";
inline constexpr std::string_view spectral_density_reading = "Reading Spectral Density from input "
                                                             "file - Line number = ";
inline constexpr std::string_view spectral_density_read =
    "Successfully Read Input Data - Ready to process.";

struct spectral_density_table {
    std::filesystem::path source; // the file read
    // Every row stored, the open one after the complete ones included.
    std::vector<std::array<double, 3>> rows;
    // The complete rows, which come first.
    std::int32_t row_count = 0;
};

// Stores one line into the table; `row` is the open row, from 1, advanced after a third field.
void store_spectral_density_line(spectral_density_table& table, std::int32_t& row,
                                 std::string_view line);

enum class spectral_density_outcome { completed, error_report };

struct spectral_density_result {
    spectral_density_outcome outcome = spectral_density_outcome::error_report;
    spectral_density_table table;
};

// Reads the file, showing the open row number in the status line after every line, then
// "Successfully Read Input Data - Ready to process.". A failure is the routine's error report
// (number form).
spectral_density_result read_spectral_density(const std::filesystem::path& input, JobUi& ui);

// The complete rows as the window shows them: columns 2 and 3 against column 1. What the columns
// hold is the writing program's business, so the axes name the columns.
chart_data spectral_density_chart(const spectral_density_table& table);

} // namespace qm
