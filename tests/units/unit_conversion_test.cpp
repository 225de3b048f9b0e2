#include "units/unit_conversion.h"

#include "support/cli_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

using u = conversion_unit;

// Every factor, worked out in its own order of operations, to the last of its 15 digits: what
// an input of "1" shows.
TEST(unit_conversion, OneShowsEachFactorToFifteenDigits) {
    const struct {
        conversion_unit from, to;
        const char* shown;
    } factors[] = {
        {u::hartree, u::kcal_mol, "627.598876388819"},
        {u::hartree, u::kjmol, "2625.87369881082"},
        {u::hartree, u::ev, "27.21138348421"},
        {u::kjmol, u::hartree, "0.000380825627848312"},
        {u::kjmol, u::kcal_mol, "0.239005736137667"},
        {u::kjmol, u::ev, "0.0103627921999955"},
        {u::kcal_mol, u::hartree, "0.00159337442691734"},
        {u::kcal_mol, u::kjmol, "4.184"},
        {u::kcal_mol, u::ev, "0.043357922564781"},
        {u::ev, u::hartree, "0.0367493259054716"},
        {u::ev, u::kjmol, "96.4990883442049"},
        {u::ev, u::kcal_mol, "23.0638356463205"},
        {u::amu, u::kg, "1.6605402E-27"},
        {u::kg, u::amu, "6.02213665167516E+26"},
    };
    for (const auto& f : factors)
        EXPECT_EQ(update_conversion("1", f.from, f.to), f.shown)
            << unit_name(f.from) << " -> " << unit_name(f.to);
}

// The output units that stay enabled are exactly those with a factor; the others convert
// nothing.
TEST(unit_conversion, AnInputUnitEnablesTheOutputsWithAFactorAndSelectsOne) {
    const struct {
        conversion_unit input;
        std::array<bool, 6> enabled; // hartree, kjmol, kcal_mol, ev, amu, kg
        conversion_unit selected;
    } table[] = {
        {u::hartree, {false, true, true, true, false, false}, u::kjmol},
        {u::kjmol, {true, false, true, true, false, false}, u::hartree},
        {u::kcal_mol, {true, true, false, true, false, false}, u::hartree},
        {u::ev, {true, true, true, false, false, false}, u::hartree},
        {u::amu, {false, false, false, false, false, true}, u::kg},
        {u::kg, {false, false, false, false, true, false}, u::amu},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(unit_name(row.input));
        const output_choice choice = output_choice_for(row.input);
        EXPECT_EQ(choice.enabled, row.enabled);
        EXPECT_EQ(choice.selected, row.selected);
        for (std::size_t i = 0; i < conversion_units.size(); ++i) {
            EXPECT_EQ(conversion_factor(row.input, conversion_units[i]).has_value(),
                      row.enabled[i]);
            if (!row.enabled[i]) {
                EXPECT_EQ(update_conversion("1", row.input, conversion_units[i]), std::nullopt);
            }
        }
    }
}

TEST(unit_conversion, TheValueMultipliesTheFactor) {
    for (const auto& [value, shown] : {std::pair{"2.5", "10.46"},
                                       {".5", "2.092"},
                                       {"1.", "4.184"},
                                       {"007", "29.288"},
                                       {"0", "0"}})
        EXPECT_EQ(update_conversion(value, u::kcal_mol, u::kjmol), shown) << value;
    EXPECT_EQ(update_conversion("1000000", u::kg, u::amu), "6.02213665167516E+32");
}

// The key filter lets only digits and points in, so the box can still hold texts that are
// not numbers; they must leave the output alone, not stop the window.
TEST(unit_conversion, TextsThatAreNotNumbersLeaveTheOutputAlone) {
    for (const char* text : {"", ".", "..", "1.2.3", "1..", "abc", "1 2"})
        EXPECT_EQ(update_conversion(text, u::hartree, u::kjmol), std::nullopt) << text;
    EXPECT_EQ(update_conversion(std::string(400, '9'), u::hartree, u::kjmol), std::nullopt);
    // Within a double, but not once multiplied by the factor.
    const std::string near_the_top = "1" + std::string(307, '0');
    EXPECT_EQ(update_conversion(near_the_top, u::hartree, u::kjmol), std::nullopt);
    EXPECT_EQ(update_conversion(near_the_top, u::kjmol, u::hartree), "3.80825627848312E+303");
}

TEST(units_cli, PrintsTheOutputBoxTextAndRefusesWhatTheWindowCannotConvert) {
    const auto units = [](const char* from, const char* to, std::string value) {
        return test::run_cli({"units", "--from", from, "--to", to, value});
    };
    EXPECT_EQ(units("hartree", "kjmol", "1").out, "2625.87369881082\n");
    EXPECT_EQ(units("kcalmol", "ev", "2").out, "0.0867158451295621\n");
    const std::tuple<const char*, const char*, std::string, const char*> refused[] = {
        {"ev", "ev", "1", "cannot convert ev to ev"},
        {"amu", "hartree", "1", "cannot convert amu to hartree"},
        {"hartree", "kjmol", "1.2.3", "not a number: 1.2.3"},
        {"hartree", "kjmol", "", "not a number: an empty text"},
        {"hartree", "kjmol", "1e3", "digits and a decimal point"},
        {"hartree", "kjmol", std::string(400, '9'), "too large"},
        {"kcal_mol", "kjmol", "1", "kcal_mol"}};
    for (const auto& [from, to, value, says] : refused) {
        const auto r = units(from, to, value);
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

} // namespace
} // namespace qm
