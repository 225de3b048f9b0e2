#include "conversion/element_symbols.h"

#include "platform/run_error.h"
#include "platform/val.h"

#include <array>

namespace qm {
namespace {

constexpr std::array<std::string_view, 103> symbols = {
    " H", "He", "Li", "Be", " B", " C", " N", " O", " F", "Ne", "Na", "Mg", "Al", "Si", " P",
    " S", "Cl", "Ar", " K", "Ca", "Sc", "Ti", " V", "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn",
    "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", " Y", "Zr", "Nb", "Mo", "Tc", "Ru", "Rh",
    "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", " I", "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd",
    "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", " W", "Re",
    "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th",
    "Pa", " U", "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr"};

} // namespace

std::string_view element_symbol(int atomic_number) {
    if (atomic_number < 1 || atomic_number > static_cast<int>(symbols.size()))
        return {};
    return symbols[static_cast<std::size_t>(atomic_number - 1)];
}

std::string number_element_to_letters(const atom_row& row) {
    double number = 0;
    try {
        number = strict_double(row.label);
    } catch (const run_error& e) {
        throw element_lookup_error(e.number, e.description);
    }
    // Only an exact whole number names an element: 6.5 does not round to carbon.
    for (int z = 1; z <= static_cast<int>(symbols.size()); ++z)
        if (number == z)
            return std::string(element_symbol(z));
    throw element_lookup_error(0, "");
}

} // namespace qm
