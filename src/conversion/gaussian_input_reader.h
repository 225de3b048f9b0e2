// Gaussian input files in Cartesian coordinates:
//
//   %chk=... (optional Link 0 lines)
//   # route line(s)
//   <empty line>
//   title line(s)
//   <empty line>
//   charge multiplicity
//   label  x  y  z          (one line per atom; "label code x y z" with a freeze code too,
//                            and ONIOM's layer fields after z)
//   <empty line>
//
// Labels stay as written; each coordinate keeps its text, with a blank in place of a plus
// sign so positive and negative values have the same width.
#pragma once

#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <string_view>

namespace qm {

// Flag success when one of the first 49 lines begins with "#".
result_flag gaussian_input_test(const std::filesystem::path& input, JobUi& ui);

// The atoms listed after the second empty line. Error report "gaussian_cart_extract".
result_flag gaussian_cart_extract(const std::filesystem::path& input, structure_record& record,
                                  JobUi& ui);

// One atom line; "Invalid procedure call or argument" (5) when it has fewer than four fields.
atom_row cut_input_atom_line(std::string_view line);

} // namespace qm
