// Unit Conversion: one typed number between the energy units per particle and per mole
// (hartree, kJ/mol, kcal/mol, eV) and between the two mass units (amu, kg).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class conversion_unit { hartree, kjmol, kcal_mol, ev, amu, kg };

inline constexpr std::array<conversion_unit, 6> conversion_units = {
    conversion_unit::hartree, conversion_unit::kjmol, conversion_unit::kcal_mol,
    conversion_unit::ev,      conversion_unit::amu,   conversion_unit::kg};

// The constants every conversion is built from.
namespace unit_constants {
inline constexpr double H = 4.3597438134e-18;  // joules per hartree
inline constexpr double C = 4.184;             // joules per calorie
inline constexpr double E = 1.60217646263e-19; // joules per electronvolt
inline constexpr double P = 6.6260687652e-34;  // Planck's constant, J s (no conversion uses it)
inline constexpr double A = 1.6605402e-27;     // kilograms per atomic mass unit
inline constexpr double N = 6.023e+23;         // Avogadro's number of the per-mole conversions
} // namespace unit_constants

// The factor of a pair, evaluated left to right as the table in the .cpp writes it; nothing
// for the same unit on both sides or for energy against mass.
std::optional<double> conversion_factor(conversion_unit from, conversion_unit to);

// The output box's new text for `input_text` converted between the units: the value times the
// factor in the text form (15 significant digits). Nothing, so that the box keeps its text,
// when the input is empty, is not a number ("1.2.3", "."), the pair has no factor, or the
// result does not fit a double.
std::optional<std::string> update_conversion(std::string_view input_text, conversion_unit from,
                                             conversion_unit to);

// What choosing an input unit does to the output side: the units that stay enabled (those with
// a factor) and the one selected.
struct output_choice {
    std::array<bool, 6> enabled{}; // indexed like conversion_units
    conversion_unit selected;
};
output_choice output_choice_for(conversion_unit input);

// The input box takes the digits and the point; every other key, Backspace included, beeps.
bool accepts_value_key(char key);

// Command-line names: hartree, kjmol, kcalmol, ev, amu, kg.
std::string_view unit_name(conversion_unit unit);
std::optional<conversion_unit> unit_named(std::string_view name);

} // namespace qm
