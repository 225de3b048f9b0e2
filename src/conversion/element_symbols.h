// Atomic numbers 1 to 103 and their two-character symbols, right-aligned (" C", "Cl").
#pragma once

#include "conversion/structure_record.h"

#include <string>
#include <string_view>

namespace qm {

// The symbol of atomic number 1 to 103; empty outside.
std::string_view element_symbol(int atomic_number);

// The symbol for a row whose label is an atomic number. A label that is not a number, or a
// number that is not 1 to 103, is a run error that names this routine, so the error report
// reads "... in (number_element_to_letters) routine." whoever calls it (an unknown number
// has an empty description).
std::string number_element_to_letters(const atom_row& row);

inline constexpr std::string_view element_lookup_routine = "number_element_to_letters";

} // namespace qm
