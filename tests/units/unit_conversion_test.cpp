#include "units/unit_conversion.h"

#include "support/cli_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

using u = conversion_unit;

struct factor_case {
    conversion_unit from, to;
    const char* shown; // the factor in the text form: what an input of "1" shows
};

void PrintTo(const factor_case& c, std::ostream* os) {
    *os << unit_name(c.from) << " -> " << unit_name(c.to);
}

struct factor_table : ::testing::TestWithParam<factor_case> {};

// Every factor, worked out in its own order of operations, to the last of its 15 digits.
TEST_P(factor_table, OneShowsTheFactorToFifteenDigits) {
    const factor_case& c = GetParam();
    ASSERT_TRUE(conversion_factor(c.from, c.to).has_value());
    EXPECT_EQ(update_conversion("1", c.from, c.to), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    AllPairs, factor_table,
    ::testing::Values(factor_case{u::hartree, u::kcal_mol, "627.598876388819"},
                      factor_case{u::hartree, u::kjmol, "2625.87369881082"},
                      factor_case{u::hartree, u::ev, "27.21138348421"},
                      factor_case{u::kjmol, u::hartree, "0.000380825627848312"},
                      factor_case{u::kjmol, u::kcal_mol, "0.239005736137667"},
                      factor_case{u::kjmol, u::ev, "0.0103627921999955"},
                      factor_case{u::kcal_mol, u::hartree, "0.00159337442691734"},
                      factor_case{u::kcal_mol, u::kjmol, "4.184"},
                      factor_case{u::kcal_mol, u::ev, "0.043357922564781"},
                      factor_case{u::ev, u::hartree, "0.0367493259054716"},
                      factor_case{u::ev, u::kjmol, "96.4990883442049"},
                      factor_case{u::ev, u::kcal_mol, "23.0638356463205"},
                      factor_case{u::amu, u::kg, "1.6605402E-27"},
                      factor_case{u::kg, u::amu, "6.02213665167516E+26"}));

TEST(unit_conversion, ThePairsWithoutAFactorGiveNothing) {
    int pairs = 0;
    for (const conversion_unit from : conversion_units) {
        for (const conversion_unit to : conversion_units) {
            const bool energy_from = from != u::amu && from != u::kg;
            const bool energy_to = to != u::amu && to != u::kg;
            const bool convertible = from != to && energy_from == energy_to;
            EXPECT_EQ(conversion_factor(from, to).has_value(), convertible)
                << unit_name(from) << " -> " << unit_name(to);
            if (!convertible) {
                EXPECT_EQ(update_conversion("1", from, to), std::nullopt);
            }
            pairs += convertible ? 1 : 0;
        }
    }
    EXPECT_EQ(pairs, 14);
}

TEST(unit_conversion, TheValueMultipliesTheFactor) {
    EXPECT_EQ(update_conversion("2.5", u::kcal_mol, u::kjmol), "10.46");
    EXPECT_EQ(update_conversion("0", u::hartree, u::ev), "0");
    EXPECT_EQ(update_conversion(".5", u::kcal_mol, u::kjmol), "2.092");
    EXPECT_EQ(update_conversion("1.", u::kcal_mol, u::kjmol), "4.184");
    EXPECT_EQ(update_conversion("007", u::kcal_mol, u::kjmol), "29.288");
    EXPECT_EQ(update_conversion("1000000", u::kg, u::amu), "6.02213665167516E+32");
}

// The key filter lets only digits and points in, so the box can still hold texts that are
// not numbers; they must leave the output alone, not stop the window.
TEST(unit_conversion, TextsThatAreNotNumbersLeaveTheOutputAlone) {
    for (const char* text : {"", ".", "..", "1.2.3", "1..", "abc", "1 2"})
        EXPECT_EQ(update_conversion(text, u::hartree, u::kjmol), std::nullopt) << text;
    const std::string beyond_double(400, '9');
    EXPECT_EQ(update_conversion(beyond_double, u::hartree, u::kjmol), std::nullopt);
    // Within a double, but not once multiplied by the factor.
    const std::string near_the_top = "1" + std::string(307, '0');
    EXPECT_EQ(update_conversion(near_the_top, u::hartree, u::kjmol), std::nullopt);
    EXPECT_EQ(update_conversion(near_the_top, u::kjmol, u::hartree), "3.80825627848312E+303");
}

TEST(unit_conversion, AnInputUnitEnablesItsOutputsAndSelectsOne) {
    struct expected_choice {
        conversion_unit input;
        std::array<bool, 6> enabled; // hartree, kjmol, kcal_mol, ev, amu, kg
        conversion_unit selected;
    };
    const expected_choice table[] = {
        {u::hartree, {false, true, true, true, false, false}, u::kjmol},
        {u::kjmol, {true, false, true, true, false, false}, u::hartree},
        {u::kcal_mol, {true, true, false, true, false, false}, u::hartree},
        {u::ev, {true, true, true, false, false, false}, u::hartree},
        {u::amu, {false, false, false, false, false, true}, u::kg},
        {u::kg, {false, false, false, false, true, false}, u::amu},
    };
    for (const auto& row : table) {
        const output_choice choice = output_choice_for(row.input);
        EXPECT_EQ(choice.enabled, row.enabled) << unit_name(row.input);
        EXPECT_EQ(choice.selected, row.selected) << unit_name(row.input);
    }
}

TEST(unit_conversion, KeysAndNames) {
    for (const char key : std::string("0123456789."))
        EXPECT_TRUE(accepts_value_key(key)) << key;
    for (const char key : std::string("\b-+eE ,a\x7f"))
        EXPECT_FALSE(accepts_value_key(key)) << int(key);
    for (const conversion_unit unit : conversion_units)
        EXPECT_EQ(unit_named(unit_name(unit)), unit);
    EXPECT_EQ(unit_named("kcal_mol"), std::nullopt);
}

TEST(units_cli, PrintsTheOutputBoxText) {
    const auto run = test::run_cli({"units", "--from", "hartree", "--to", "kjmol", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2625.87369881082\n");
    EXPECT_EQ(test::run_cli({"units", "--from", "kg", "--to", "amu", "1"}).out,
              "6.02213665167516E+26\n");
    EXPECT_EQ(test::run_cli({"units", "--from", "kcalmol", "--to", "ev", "2"}).out,
              "0.0867158451295621\n");
}

TEST(units_cli, RefusesWhatTheWindowCannotConvert) {
    struct refused {
        std::vector<std::string> args;
        const char* says;
    };
    const refused cases[] = {
        {{"units", "--from", "ev", "--to", "ev", "1"}, "cannot convert ev to ev"},
        {{"units", "--from", "amu", "--to", "hartree", "1"}, "cannot convert amu to hartree"},
        {{"units", "--from", "hartree", "--to", "kjmol", "1.2.3"}, "not a number: 1.2.3"},
        {{"units", "--from", "hartree", "--to", "kjmol", "."}, "not a number: ."},
        {{"units", "--from", "hartree", "--to", "kjmol", ""}, "not a number: an empty text"},
        {{"units", "--from", "hartree", "--to", "kjmol", "1e3"}, "digits and a decimal point"},
        {{"units", "--from", "hartree", "--to", "kjmol", std::string(400, '9')}, "too large"},
        {{"units", "--from", "joule", "--to", "kjmol", "1"}, "joule"},
        {{"units", "--from", "hartree", "--to", "kjmol"}, "VALUE"},
    };
    for (const auto& c : cases) {
        const auto run = test::run_cli(c.args);
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

} // namespace
} // namespace qm
