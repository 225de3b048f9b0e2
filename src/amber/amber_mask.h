// Atoms chosen by an Amber mask over a topology, in the subset of the mask language users type
// most:
//
//   :1-25,30        residues by number (from 1) and inclusive ranges
//   :WAT,Na+,Cl-    residues by name; '*' stands for any run of characters, '?' for one
//   @CA,CB  @1-100  atoms by name or by number
//   :1-5@CA         atoms of those residues with those names
//   !:WAT           every atom the selection leaves out
//   A & B,  A | B   atoms in both, atoms in either ('&' binds before '|'); ( ) group
//
// Blanks are ignored. A list item that is all digits (or two digit runs joined by '-') is a
// number or a range; anything else is a name, so "Cl-" is a residue name.
#pragma once

#include "amber/prmtop.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace qm {

// Consecutive atoms of a frame: `count` atoms from index `first` (from 0).
struct atom_run {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    bool operator==(const atom_run&) const = default;
};

// The atoms the mask selects, in topology order, as runs of consecutive atoms. A mask that does
// not parse is "Invalid procedure call or argument" (5) saying where; one that selects no atom
// is refused the same way, before anything is written.
std::vector<atom_run> select_atoms(const amber_topology& topology, std::string_view mask);

// The runs' atom count.
std::uint64_t atoms_in(const std::vector<atom_run>& runs);

} // namespace qm
