#include "units/unit_conversion.h"

#include "platform/number_form.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <cmath>

namespace qm {
namespace {

using u = conversion_unit;

// Command-line names, in the order of conversion_unit.
constexpr std::array<std::string_view, 6> unit_names = {"hartree", "kjmol", "kcalmol",
                                                        "ev",      "amu",   "kg"};

std::size_t index_of(conversion_unit unit) {
    return static_cast<std::size_t>(unit);
}

} // namespace

std::optional<double> conversion_factor(conversion_unit from, conversion_unit to) {
    using namespace unit_constants;
    // Each factor is worked out left to right exactly as written (the last digits depend on
    // the order), then multiplies the value.
    switch (from) {
    case u::hartree:
        switch (to) {
        case u::kcal_mol:
            return H / C / 1000 * N;
        case u::kjmol:
            return H / 1000 * N;
        case u::ev:
            return H / E;
        default:
            return std::nullopt;
        }
    case u::kjmol:
        switch (to) {
        case u::hartree:
            return 1000 / H / N;
        case u::kcal_mol:
            return 1 / C;
        case u::ev:
            return 1000 / E / N;
        default:
            return std::nullopt;
        }
    case u::kcal_mol:
        switch (to) {
        case u::hartree:
            return C * 1000 / N / H;
        case u::kjmol:
            return C;
        case u::ev:
            return 1000 / E / N * C;
        default:
            return std::nullopt;
        }
    case u::ev:
        switch (to) {
        case u::hartree:
            return E / H;
        case u::kjmol:
            return E / 1000 * N;
        case u::kcal_mol:
            return E / 1000 * N / C;
        default:
            return std::nullopt;
        }
    case u::amu:
        if (to == u::kg)
            return A;
        return std::nullopt;
    case u::kg:
        if (to == u::amu)
            return 1 / A;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> update_conversion(std::string_view input_text, conversion_unit from,
                                             conversion_unit to) {
    if (input_text.empty())
        return std::nullopt;
    const std::optional<double> factor = conversion_factor(from, to);
    if (!factor || !is_number(input_text))
        return std::nullopt;
    double x = 0;
    try {
        x = strict_double(input_text);
    } catch (const run_error&) {
        return std::nullopt; // hundreds of digits: beyond a double
    }
    const double result = x * *factor;
    if (!std::isfinite(result))
        return std::nullopt;
    return text_form(result);
}

output_choice output_choice_for(conversion_unit input) {
    output_choice choice{};
    for (const conversion_unit unit : conversion_units)
        choice.enabled[index_of(unit)] = conversion_factor(input, unit).has_value();
    switch (input) {
    case u::hartree:
        choice.selected = u::kjmol;
        break;
    case u::kjmol:
    case u::kcal_mol:
    case u::ev:
        choice.selected = u::hartree;
        break;
    case u::amu:
        choice.selected = u::kg;
        break;
    case u::kg:
        choice.selected = u::amu;
        break;
    }
    return choice;
}

bool accepts_value_key(char key) {
    return (key >= '0' && key <= '9') || key == '.';
}

std::string_view unit_name(conversion_unit unit) {
    return unit_names[index_of(unit)];
}

std::optional<conversion_unit> unit_named(std::string_view name) {
    for (const conversion_unit unit : conversion_units)
        if (unit_name(unit) == name)
            return unit;
    return std::nullopt;
}

} // namespace qm
