#include "units/unit_conversion.h"

#include "support/as_text.h"
#include "support/cli_support.h"

namespace qm {
namespace {

using u = conversion_unit;

// What "1" shows for every pair, to the last of its 15 digits (each factor worked out in its own
// order); "-" where the output is disabled and converts nothing, "*" on the one selected.
TEST(unit_conversion, OneShowsEachFactorAndTheEnabledOutputsOfEachInputUnit) {
    std::string shown;
    for (const conversion_unit from : conversion_units) {
        const output_choice choice = output_choice_for(from);
        shown += std::string(unit_name(from)) + ":";
        for (std::size_t i = 0; i < conversion_units.size(); ++i) {
            const auto value = update_conversion("1", from, conversion_units[i]);
            shown += " " + (choice.enabled[i] != value.has_value() ? "?" : value.value_or("-")) +
                     (choice.selected == conversion_units[i] ? "*" : "");
        }
        shown += "\n";
    }
    EXPECT_EQ(shown, "hartree: - 2625.87369881082* 627.598876388819 27.21138348421 - -\n"
                     "kjmol: 0.000380825627848312* - 0.239005736137667 0.0103627921999955 - -\n"
                     "kcalmol: 0.00159337442691734* 4.184 - 0.043357922564781 - -\n"
                     "ev: 0.0367493259054716* 96.4990883442049 23.0638356463205 - - -\n"
                     "amu: - - - - - 1.6605402E-27*\n"
                     "kg: - - - - 6.02213665167516E+26* -\n");
}

// The key filter lets only digits and points in, so the box can still hold texts that are not
// numbers, or too large once multiplied: they must leave the output alone, not stop the window.
TEST(unit_conversion, TheValueMultipliesTheFactorAndTextsThatAreNotNumbersConvertNothing) {
    const auto kjmol = [](const std::string& value) {
        return update_conversion(value, u::kcal_mol, u::kjmol).value_or("-");
    };
    EXPECT_EQ(test::each(kjmol, {"2.5", ".5", "1.", "007", "0", "", ".", "..", "1.2.3", "1..",
                                 "abc", "1 2", std::string(400, '9').c_str(),
                                 ("1" + std::string(308, '0')).c_str()}),
              "10.46|2.092|4.184|29.288|0|-|-|-|-|-|-|-|-|-|");
    EXPECT_EQ(update_conversion("1" + std::string(307, '0'), u::kjmol, u::hartree),
              "3.80825627848312E+303");
}

TEST(units_cli, PrintsTheOutputBoxTextAndRefusesWhatTheWindowCannotConvert) {
    const auto units = [](const char* from, const char* to, std::string value) {
        return test::run_cli({"units", "--from", from, "--to", to, value});
    };
    EXPECT_EQ(units("kcalmol", "ev", "2").out, "0.0867158451295621\n");
    const std::tuple<const char*, const char*, std::string, const char*> refused[] = {
        {"ev", "ev", "1", "cannot convert ev to ev"},
        {"hartree", "kjmol", "", "not a number: an empty text"},
        {"hartree", "kjmol", "1e3", "digits and a decimal point"},
        {"kcal_mol", "kjmol", "1", "kcal_mol"}};
    for (const auto& [from, to, value, says] : refused) {
        const auto r = units(from, to, value);
        const bool said = r.err.find(says) != std::string::npos;
        EXPECT_EQ(std::to_string(r.status) + r.out + (said ? says : r.err),
                  std::string("2") + says);
    }
}

} // namespace
} // namespace qm
