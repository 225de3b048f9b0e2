// g98_in_g94_out: a Gaussian 98 (or 03, 09, 16) output rewritten as a Gaussian 94 style output.
// Every line is copied with one blank in front, except the banner's first line, replaced by the
// Gaussian 94 banner, and every Standard orientation table, rewritten in the Gaussian 94 layout
// with the coordinates of the extracted (last) geometry (from a NoSymm job, whose geometry came
// from the Input orientation, every Input orientation table, under Gaussian 94's own header of
// that name, so the Gaussian 94 route reads the same geometry back):
//
//                    Standard orientation:
//  ----------------------------------------------------------
//  Center     Atomic              Coordinates (Angstroms)
//  Number     Number             X           Y           Z
//  ----------------------------------------------------------
//      1           6           0.000000    0.000000    0.000000
//
// Row columns: the centre number ends in column 5, the atomic number in column 17, x, y and z
// end in columns 36, 48 and 60, each right-aligned in a 12-column field, so nine-character texts
// stand in 28-36, 40-48 and 52-60. A row whose centre number or coordinate does not fit its
// field is refused (Overflow) rather than written where the reader would misread it.
#pragma once

#include "conversion/gaussian_output_reader.h"
#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <string>

namespace qm {

// `source` is what the format test found in the input, `table` the orientation the geometry was
// read from. Error report "g98_in_g94_out".
result_flag g98_in_g94_out(const std::filesystem::path& input, const std::filesystem::path& output,
                           const structure_record& record, const recognised_output& source,
                           orientation table, JobUi& ui);

// One table row, with its line feed.
std::string g94_atom_line(long long centre, const atom_row& row);

} // namespace qm
