#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_init.h"
#include "units/frm_unit_conversion.h"

#include "support/gui_support.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct unit_window : ::testing::Test {
    scoped_test_services services;
    frm_init* menu = window_registry::instance().load<frm_init>();
    frm_unit_conversion* w = nullptr;

    void SetUp() override {
        menu->cmd_unit_conversion->click();
        w = window_registry::instance().find<frm_unit_conversion>();
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* input() { return test::control<QLineEdit>(w, "txt_input"); }
    QString output() { return test::control<QLineEdit>(w, "txt_output")->text(); }
    QRadioButton* option(const char* name) { return test::control<QRadioButton>(w, name); }
    void click(const char* name) { test::control<QAbstractButton>(w, name)->click(); }
    // A key pressed and released in the input box, as the user types it.
    void type(int qt_key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(input(), &press);
        QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(input(), &release);
    }
    void type(char key) {
        if (key == '\b')
            type(Qt::Key_Backspace, QStringLiteral("\b"));
        else
            type(QChar(key).toUpper().unicode(), QString(QChar(key)));
    }
    void type_text(const char* text) {
        for (const char* c = text; *c != '\0'; ++c)
            type(*c);
    }
    // The output options that can be chosen, in window order.
    std::vector<std::string> enabled_outputs() {
        std::vector<std::string> names;
        for (const char* name : {"opt_out_hartree", "opt_out_kjmol", "opt_out_kcal_mol",
                                 "opt_out_ev", "opt_out_amu", "opt_out_kg"})
            if (option(name)->isEnabled())
                names.emplace_back(name);
        return names;
    }
};

TEST_F(unit_window, OpensFromTheMainMenuWithItsCaptionsAndHartreeToKjmol) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());
    EXPECT_EQ(w->windowTitle(), "Unit Conversion");
    EXPECT_EQ(test::control<QGroupBox>(w, "frm_input")->title(), "Input Unit");
    EXPECT_EQ(test::control<QGroupBox>(w, "Frame2")->title(), "Output Unit");
    EXPECT_EQ(test::control<QGroupBox>(w, "Frame1")->title(), "Conversion Ratios");
    const std::pair<const char*, const char*> captions[] = {{"opt_in_hartree", "Hartrees"},
                                                            {"opt_out_hartree", "Hartrees"},
                                                            {"opt_in_kjmol", "kJ mol-1"},
                                                            {"opt_out_kjmol", "kJ mol-1"},
                                                            {"opt_in_kcal_mol", "kCal mol-1"},
                                                            {"opt_out_kcal_mol", "kCal mol-1"},
                                                            {"opt_in_ev", "Electron Volts"},
                                                            {"opt_out_ev", "Electron Volts"},
                                                            {"opt_in_amu", "Atomic Mass Units"},
                                                            {"opt_out_amu", "Atomic Mass Units"},
                                                            {"opt_in_kg", "Kilograms"},
                                                            {"opt_out_kg", "Kilograms"},
                                                            {"cmd_clear_input", "Clear Box"},
                                                            {"cmd_clear_output", "Clear Box"},
                                                            {"cmd_return", "&Return to Main Menu"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(test::control<QAbstractButton>(w, name)->text(), caption) << name;
    const std::pair<const char*, const char*> labels[] = {
        {"Label1", "1 Hartree = 4.35974381E-18 J"},
        {"Label4", "1 Calorie = 4.184 J"},
        {"Label5", "1 Electron Volt (eV) = 1.602176462E-19 J"},
        {"Label6", "1 Bohr = 0.529177249 Angstroms"},
        {"Label7", "1 Atomic Mass Unit (amu) = 1.6605402E-27 Kg"},
        {"Label8", "1 Electron Charge = 4.803242E-10 ESU"},
        {"Label9", "= 1.602188E-19 Coulombs"},
        {"Label10", "Planck's Constant (h) = 6.6260755E-34 JS"},
        {"Label11", "Avogadro's Number = 6.0221367E+23"},
        {"Label12", "Speed of Light (c) = 2.99792458E+10 cm/S"},
        {"Label13", "Boltzman's Constant (k) = 1.380658E-23 J/K"},
        {"Label14", "Inverse Fine Structure Constant = 137.0359895"},
        {"Label15", "1 Electron Mass = 0.910953E-30 Kg"},
        {"Label16", "1 Atomic Mass Unit = 1822.8880 Electron Mass"},
        {"Label17", "1 Proton Mass = 1836.1527 Electron Mass"},
        {"Label18", "1 Bohr-Electron = 2.541765 Debye"},
        {"Label2", "1 Hz = 6.62606876E-34 J"},
        {"Label3", "KT (300K) = 4.14195E-21 J = 25.85 mEv"}};
    for (const auto& [name, caption] : labels)
        EXPECT_EQ(test::control<QLabel>(w, name)->text(), caption) << name;
    EXPECT_EQ(input()->text(), "0");
    EXPECT_EQ(output(), "0");
    EXPECT_TRUE(option("opt_in_hartree")->isChecked());
    EXPECT_TRUE(option("opt_out_kjmol")->isChecked());
    EXPECT_EQ(enabled_outputs(),
              (std::vector<std::string>{"opt_out_kjmol", "opt_out_kcal_mol", "opt_out_ev"}));
}

TEST_F(unit_window, ReturnShowsTheMainMenuWithItsPicturesMoving) {
    click("cmd_return");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_unit_conversion>(), nullptr);
}

TEST_F(unit_window, ConvertsWhenAKeyIsReleasedOrAUnitClicked) {
    input()->clear();
    type('1');
    EXPECT_EQ(output(), "2625.87369881082");
    click("opt_in_ev");
    EXPECT_TRUE(option("opt_out_hartree")->isChecked());
    EXPECT_EQ(output(), "0.0367493259054716");
    click("opt_out_kjmol");
    EXPECT_EQ(output(), "96.4990883442049");
    click("opt_out_kcal_mol");
    EXPECT_EQ(output(), "23.0638356463205");
    type_text(".5");
    EXPECT_EQ(input()->text(), "1.5");
    EXPECT_EQ(output(), "34.5957534694807");
}

TEST_F(unit_window, MassUnitsForceEachOtherAndDisableTheEnergies) {
    input()->setText("1");
    click("opt_in_kg");
    EXPECT_TRUE(option("opt_out_amu")->isChecked());
    EXPECT_EQ(enabled_outputs(), (std::vector<std::string>{"opt_out_amu"}));
    EXPECT_EQ(output(), "6.02213665167516E+26");
    click("opt_in_amu");
    EXPECT_TRUE(option("opt_out_kg")->isChecked());
    EXPECT_EQ(enabled_outputs(), (std::vector<std::string>{"opt_out_kg"}));
    EXPECT_EQ(output(), "1.6605402E-27");
    click("opt_in_kcal_mol");
    EXPECT_TRUE(option("opt_out_hartree")->isChecked());
    EXPECT_EQ(enabled_outputs(),
              (std::vector<std::string>{"opt_out_hartree", "opt_out_kjmol", "opt_out_ev"}));
    EXPECT_EQ(output(), "0.00159337442691734");
}

TEST_F(unit_window, ClearBoxClearsWithoutConverting) {
    input()->setText("2");
    type(Qt::Key_End, QString());
    EXPECT_EQ(output(), "5251.74739762164");
    click("cmd_clear_input");
    EXPECT_EQ(input()->text(), "0");
    EXPECT_EQ(output(), "5251.74739762164") << "no conversion until the next key or click";
    type(Qt::Key_End, QString());
    EXPECT_EQ(output(), "0");
    input()->setText("3");
    click("cmd_clear_output");
    EXPECT_EQ(output(), "0");
    EXPECT_EQ(input()->text(), "3");
}

TEST_F(unit_window, OnlyDigitsAndPointsAreTypedEverythingElseBeeps) {
    input()->setText("12");
    type('a');
    type('-');
    type(' ');
    type('\b'); // Backspace deletes nothing either
    EXPECT_EQ(input()->text(), "12");
    EXPECT_EQ(services.messages.beeps, 4);
    type_text("0.5");
    EXPECT_EQ(input()->text(), "120.5");
    EXPECT_EQ(services.messages.beeps, 4);
    input()->setCursorPosition(0);
    type(Qt::Key_Delete, QString(QChar(0x7f)));
    EXPECT_EQ(input()->text(), "20.5") << "Delete still deletes";
    EXPECT_EQ(services.messages.beeps, 4);
    input()->insert(QStringLiteral("x"));
    EXPECT_EQ(input()->text(), "20.5") << "a pasted text keeps to digits and points";
}

TEST_F(unit_window, ATextThatIsNotANumberLeavesTheOutputAndTheWindowUsable) {
    input()->setText("1");
    type('.');
    EXPECT_EQ(output(), "2625.87369881082");
    type('.');
    EXPECT_EQ(input()->text(), "1..");
    EXPECT_EQ(output(), "2625.87369881082");
    input()->setText(".");
    click("opt_out_ev");
    EXPECT_TRUE(option("opt_out_ev")->isChecked());
    EXPECT_EQ(output(), "2625.87369881082");
    input()->clear();
    type('2');
    EXPECT_EQ(output(), "54.42276696842");
    input()->clear();
    type(Qt::Key_End, QString()); // an empty box converts nothing
    EXPECT_EQ(output(), "54.42276696842");
    EXPECT_TRUE(services.messages.shown.empty());
}

} // namespace
} // namespace qm
