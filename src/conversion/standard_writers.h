// Structures in the standard layouts other programs read (Open Babel, VMD, Avogadro, PyMOL),
// beside the program's own XYZ and PDB. Lines end with a line feed alone. Translation vectors
// ("TV" rows of a Gaussian input) are not atoms and are left out; every other label must name an
// element (element_of_label), or the row is refused.
//
// XYZ, one frame per geometry, the frames of a trajectory one after the other:
//   the atom count
//   a comment: the source file's name and the geometry's number
//   per atom: the element symbol, then x, y and z as read, each right-aligned in 15 columns
//
// PDB, wwPDB ATOM records; the geometries of a trajectory each between "MODEL n" and "ENDMDL",
// then "END":
//   columns  1-6   "ATOM  "
//            7-11  serial number, right-aligned (more than 99999 atoms: Overflow)
//           13-16  atom name: the element symbol and its count among that element's atoms,
//                  in capitals ("C12", "CL3"); a one-letter symbol starts in column 14 unless
//                  the name fills all four columns; a name longer than four is the symbol alone
//           18-20  residue name "MOL";  22 chain "A";  23-26 residue number 1
//           31-38, 39-46, 47-54  x, y, z rounded to three decimals (8.3); a coordinate that
//                  does not fit (below -999.9995 or from 9999.9995 up) is refused (Overflow)
//           55-60  occupancy "  1.00";  61-66 B-factor "  0.00"
//           77-78  element symbol in capitals, right-aligned
#pragma once

#include "conversion/structure_record.h"

#include <string>
#include <string_view>

namespace qm {

// One XYZ frame.
std::string standard_xyz_frame(const structure_record& record, std::string_view comment);

// The ATOM records of one geometry.
std::string standard_pdb_atoms(const structure_record& record);
// One geometry of a trajectory: "MODEL n", its ATOM records, "ENDMDL".
std::string standard_pdb_model(const structure_record& record, long long model);
// What closes a PDB file.
inline constexpr std::string_view pdb_end = "END\n";

} // namespace qm
