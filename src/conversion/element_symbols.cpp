#include "conversion/element_symbols.h"

#include "platform/run_error.h"
#include "platform/val.h"

#include <algorithm>
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

namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string_view without_blank(std::string_view symbol) {
    return symbol.substr(symbol.find_first_not_of(' '));
}

std::string_view symbol_named(std::string_view name) {
    for (std::string_view symbol : symbols)
        if (without_blank(symbol) == name)
            return without_blank(symbol);
    return {};
}

} // namespace

std::string_view element_of_label(std::string_view label) {
    label = label.substr(std::min(label.size(), label.find_first_not_of(' ')));
    if (label.empty())
        return {};
    if (!is_letter(label[0])) {
        if (!is_number(label))
            return {};
        const double number = strict_double(label);
        for (int z = 1; z <= static_cast<int>(symbols.size()); ++z)
            if (number == z)
                return without_blank(element_symbol(z));
        return {};
    }
    const std::string one(1, upper(label[0]));
    if (label.size() > 1 && is_letter(label[1])) {
        const std::string_view two = symbol_named(one + lower(label[1]));
        // A small second letter belongs to the symbol ("Bq" names none); a capital may start
        // something else ("HW").
        if (!two.empty() || (label[1] >= 'a' && label[1] <= 'z'))
            return two;
    }
    return symbol_named(one);
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
