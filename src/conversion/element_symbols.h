// Atomic numbers 1 to 103 and their two-character symbols, right-aligned (" C", "Cl").
#pragma once

#include "conversion/structure_record.h"
#include "platform/run_error.h"

#include <string>
#include <string_view>

namespace qm {

// The symbol of atomic number 1 to 103; empty outside.
std::string_view element_symbol(int atomic_number);

// A failed element lookup. Whoever calls the lookup, its report is the lookup's own:
// "Error (...) in (number_element_to_letters) routine." in the short form.
struct element_lookup_error : run_error {
    using run_error::run_error;
};

inline constexpr std::string_view element_lookup_routine = "number_element_to_letters";

// The symbol for a row whose label is an atomic number. A label that is not a number is an
// element_lookup_error with the conversion's error; a number that is not 1 to 103 one with an
// empty description.
std::string number_element_to_letters(const atom_row& row);

// The element symbol an atom label names, as Gaussian and the standard XYZ files write labels:
// an atomic number ("6"), or a symbol in any case followed by anything but a letter ("C", "cl",
// "Cl2", "C(Iso=13)", "HW"); a second capital that makes no symbol with the first is not part
// of it ("HW" is H, "CA" is Ca). Symbols come as in the table, without the blank ("C", "Cl");
// empty when the label names no element ("Bq", "X", "0").
std::string_view element_of_label(std::string_view label);

} // namespace qm
