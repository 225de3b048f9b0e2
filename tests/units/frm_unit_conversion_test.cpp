#include "shell/frm_init.h"
#include "units/frm_unit_conversion.h"

#include "stokes/tool_window_fixture.h"

#include <QTimer>

namespace qm {
namespace {

struct unit_window : test::tool_window<frm_unit_conversion> {
    void SetUp() override { open<frm_init>("cmd_unit_conversion"); }
    // The input and output boxes.
    std::string boxes() { return text("txt_input") + " -> " + text("txt_output"); }
    // The output options that can be chosen, in window order; the chosen one is starred.
    std::string outputs() {
        std::string names;
        for (const char* name : {"opt_out_hartree", "opt_out_kjmol", "opt_out_kcal_mol",
                                 "opt_out_ev", "opt_out_amu", "opt_out_kg"})
            if (enabled(name))
                names += std::string(name + 8) + (button(name)->isChecked() ? "* " : " ");
        return names;
    }
};

TEST_F(unit_window, OpensWithHartreeToKjmolAndReturnsToTheMainMenu) {
    EXPECT_EQ(w->windowTitle(), "Unit Conversion");
    std::string units;
    for (const std::string unit : {"hartree", "kjmol", "kcal_mol", "ev", "amu", "kg"})
        units += text(("opt_in_" + unit).c_str()) + "|" + text(("opt_out_" + unit).c_str()) + " ";
    EXPECT_EQ(units,
              "Hartrees|Hartrees kJ mol-1|kJ mol-1 kCal mol-1|kCal mol-1 Electron "
              "Volts|Electron Volts Atomic Mass Units|Atomic Mass Units Kilograms|Kilograms ");
    EXPECT_EQ(text("cmd_return"), "&Return to Main Menu");
    EXPECT_TRUE(button("opt_in_hartree")->isChecked());
    EXPECT_EQ(boxes(), "0 -> 0");
    EXPECT_EQ(outputs(), "kjmol* kcal_mol ev ");
    expect_return_to_menu();
    EXPECT_TRUE(static_cast<frm_init*>(menu)->timer_pic_change->isActive());
}

TEST_F(unit_window, ConvertsWhenAKeyIsReleasedOrAUnitClicked) {
    edit("txt_input")->clear();
    type("txt_input", "1");
    EXPECT_EQ(text("txt_output"), "2625.87369881082");
    click("opt_in_ev");
    EXPECT_EQ(outputs(), "hartree* kjmol kcal_mol ");
    EXPECT_EQ(text("txt_output"), "0.0367493259054716");
    click("opt_out_kcal_mol");
    EXPECT_EQ(text("txt_output"), "23.0638356463205");
    type("txt_input", ".5");
    EXPECT_EQ(boxes(), "1.5 -> 34.5957534694807");
    // Mass units force each other and disable the energies.
    click("opt_in_kg");
    EXPECT_EQ(outputs(), "amu* ");
    click("opt_in_amu");
    EXPECT_EQ(outputs(), "kg* ");
    EXPECT_EQ(text("txt_output"), "2.4908103E-27");
    // Clear Box only clears: the output keeps its text until the next key or click.
    click("cmd_clear_input");
    EXPECT_EQ(boxes(), "0 -> 2.4908103E-27");
    type("txt_input", "\x01");
    EXPECT_EQ(text("txt_output"), "0");
    set("txt_input", "3");
    click("cmd_clear_output");
    EXPECT_EQ(boxes(), "3 -> 0");
}

// Only digits and points are typed, every other key beeps; a text that is not a number leaves
// the output as it was.
TEST_F(unit_window, KeysAndTextsThatAreNotNumbersLeaveTheWindowUsable) {
    set("txt_input", "12");
    type("txt_input", "a- \b"); // Backspace deletes nothing either
    EXPECT_EQ(services.messages.beeps, 4);
    type("txt_input", "0..");
    EXPECT_EQ(boxes(), "120.. -> 315104.843857298") << "the value of 120.";
    edit("txt_input")->setCursorPosition(0);
    type("txt_input", "\x7f");
    edit("txt_input")->insert(QStringLiteral("x"));
    EXPECT_EQ(text("txt_input"), "20..") << "Delete deletes; a paste keeps to digits and points";
    EXPECT_EQ(services.messages.beeps, 4);
    click("opt_out_ev");
    edit("txt_input")->clear();
    type("txt_input", "\x01"); // an empty box converts nothing
    EXPECT_EQ(text("txt_output"), "315104.843857298");
    EXPECT_TRUE(services.messages.shown.empty());
}

} // namespace
} // namespace qm
