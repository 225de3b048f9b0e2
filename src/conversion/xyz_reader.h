// Our own XYZ files: atom lines only (label x y z), no atom-count or comment line. A line is
// an atom line when it holds exactly three full stops; the geometry is the first run of such
// lines.
#pragma once

#include "conversion/structure_record.h"
#include "platform/job_ui.h"
#include "platform/line_reader.h"

#include <filesystem>
#include <string_view>

namespace qm {

// Flag success when the second line holds exactly three full stops. Error report
// "xyz_input_test".
result_flag xyz_input_test(const std::filesystem::path& input, JobUi& ui);

// Fills `record` with the first run of atom lines. Error report "xyz_extract".
result_flag xyz_extract(const std::filesystem::path& input, structure_record& record, JobUi& ui);

// The readers behind them, on any line source; they throw run errors.
bool xyz_second_line_valid(line_reader& reader);
bool xyz_read_geometry(line_reader& reader, std::uint64_t length, structure_record& record,
                       JobUi& ui);

// The four blank-separated fields of an atom line (a tab does not separate); "Invalid
// procedure call or argument" (5) when the line has fewer than four.
atom_row cut_xyz_fields(std::string_view line);

} // namespace qm
