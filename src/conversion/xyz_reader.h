// XYZ files, in either of two layouts, told apart by the first line:
//
// * our own: atom lines only (label x y z), no atom-count or comment line. A line is an atom
//   line when it holds exactly three full stops; the geometry is the first run of such lines.
// * the standard layout every other program writes: a line holding only the atom count, a
//   comment line, then that many atom lines "symbol-or-number x y z" (further columns, such as
//   charges or velocities, are passed over); a trajectory is frames of this kind, one after the
//   other, empty lines allowed between them.
//
//   3
//   water, frame 1
//   O    0.000000    0.000000    0.119262
//   H    0.000000    0.763239   -0.477047
//   H    0.000000   -0.763239   -0.477047
#pragma once

#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace qm {

// Flag success when the first line holds only an atom count (standard layout) or the second
// line holds exactly three full stops (our own). Error report "xyz_input_test".
result_flag xyz_input_test(const std::filesystem::path& input, JobUi& ui);

// Every geometry of the file, each handed to `on_geometry` as soon as it is read: every frame
// of a standard file, the one geometry of our own layout. A frame with fewer atom lines than
// its count, or a line between frames that is not an atom count, is "Bad record length" (59)
// naming the frame. Error report "xyz_extract".
extraction xyz_extract(const std::filesystem::path& input, JobUi& ui,
                       const geometry_handler& on_geometry);
// The last geometry into `record`.
extraction xyz_extract(const std::filesystem::path& input, structure_record& record, JobUi& ui);

// The atom count a standard file's frame begins with: a line holding only a whole number.
std::optional<std::uint64_t> xyz_atom_count(std::string_view line);

// The four blank-separated fields of our own layout's atom line (a tab does not separate);
// "Invalid procedure call or argument" (5) when the line has fewer than four.
atom_row cut_xyz_fields(std::string_view line);

} // namespace qm
