#include "shell/frm_init.h"
#include "units/frm_unit_conversion.h"

#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

struct unit_window : test::tool_window<frm_unit_conversion> {
    void SetUp() override { open<frm_init>("cmd_unit_conversion"); }
    // The input and output boxes, then the output options that can be chosen, in window order;
    // the chosen one is starred.
    std::string shown() {
        std::string names = text("txt_input") + " -> " + text("txt_output") + " |";
        for (const char* name : {"opt_out_hartree", "opt_out_kjmol", "opt_out_kcal_mol",
                                 "opt_out_ev", "opt_out_amu", "opt_out_kg"})
            if (enabled(name))
                names += " " + std::string(name + 8) + (button(name)->isChecked() ? "*" : "");
        return names;
    }
};

TEST_F(unit_window, ConvertsWhenAKeyIsReleasedOrAUnitClicked) {
    EXPECT_EQ(shown(), "0 -> 0 | kjmol* kcal_mol ev");
    edit("txt_input")->clear();
    type("txt_input", "1");
    EXPECT_EQ(shown(), "1 -> 2625.87369881082 | kjmol* kcal_mol ev");
    click("opt_in_ev");
    EXPECT_EQ(shown(), "1 -> 0.0367493259054716 | hartree* kjmol kcal_mol");
    click("opt_out_kcal_mol");
    type("txt_input", ".5");
    EXPECT_EQ(shown(), "1.5 -> 34.5957534694807 | hartree kjmol kcal_mol*");
    // Mass units force each other and disable the energies.
    click("opt_in_kg");
    click("opt_in_amu");
    EXPECT_EQ(shown(), "1.5 -> 2.4908103E-27 | kg*");
    // Clear Box only clears: the output keeps its text until the next key or click.
    click("cmd_clear_input");
    EXPECT_EQ(shown(), "0 -> 2.4908103E-27 | kg*");
    set("txt_input", "3");
    click("cmd_clear_output");
    EXPECT_EQ(shown(), "3 -> 0 | kg*");
    // Every key but digits and points beeps, Backspace too; a text that is not a number leaves
    // the output alone.
    click("opt_in_hartree");
    set("txt_input", "12");
    type("txt_input", "a- \b0..");
    EXPECT_EQ(shown(), "120.. -> 315104.843857298 | kjmol* kcal_mol ev") << "the value of 120.";
    edit("txt_input")->setCursorPosition(0);
    type("txt_input", "\x7f");
    edit("txt_input")->insert(QStringLiteral("x"));
    EXPECT_EQ(text("txt_input"), "20..") << "Delete deletes; a paste keeps to digits and points";
    EXPECT_EQ(services.messages.beeps, 4);
    edit("txt_input")->clear();
    type("txt_input", "\x01"); // an empty box converts nothing
    EXPECT_EQ(text("txt_output"), "315104.843857298");
    expect_return_to_menu();
}

} // namespace
} // namespace qm
