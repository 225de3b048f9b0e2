#include "units/frm_unit_conversion.h"

#include "platform/qt/key_filter.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/navigation.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace qm {
namespace {

std::size_t index_of(conversion_unit unit) {
    return static_cast<std::size_t>(unit);
}

// One unit group: the six options in a column, then the box and its Clear Box button.
void lay_out_group(QGroupBox* group, const std::array<QRadioButton*, 6>& options, QLineEdit* box,
                   QPushButton* clear) {
    auto* column = new QVBoxLayout(group);
    for (QRadioButton* option : options)
        column->addWidget(option);
    column->addWidget(box);
    column->addWidget(clear);
    column->addStretch();
}

} // namespace

frm_unit_conversion::frm_unit_conversion(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_unit_conversion");
    setWindowTitle("Unit Conversion");

    frm_input = named(new QGroupBox("Input Unit"), "frm_input");
    opt_in_hartree = named(new QRadioButton("Hartrees"), "opt_in_hartree");
    opt_in_kjmol = named(new QRadioButton("kJ mol-1"), "opt_in_kjmol");
    opt_in_kcal_mol = named(new QRadioButton("kCal mol-1"), "opt_in_kcal_mol");
    opt_in_ev = named(new QRadioButton("Electron Volts"), "opt_in_ev");
    opt_in_amu = named(new QRadioButton("Atomic Mass Units"), "opt_in_amu");
    opt_in_kg = named(new QRadioButton("Kilograms"), "opt_in_kg");
    txt_input = named(new QLineEdit("0"), "txt_input");
    cmd_clear_input = named(new QPushButton("Clear Box"), "cmd_clear_input");

    Frame2 = named(new QGroupBox("Output Unit"), "Frame2");
    opt_out_hartree = named(new QRadioButton("Hartrees"), "opt_out_hartree");
    opt_out_kjmol = named(new QRadioButton("kJ mol-1"), "opt_out_kjmol");
    opt_out_kcal_mol = named(new QRadioButton("kCal mol-1"), "opt_out_kcal_mol");
    opt_out_ev = named(new QRadioButton("Electron Volts"), "opt_out_ev");
    opt_out_amu = named(new QRadioButton("Atomic Mass Units"), "opt_out_amu");
    opt_out_kg = named(new QRadioButton("Kilograms"), "opt_out_kg");
    txt_output = named(new QLineEdit("0"), "txt_output");
    cmd_clear_output = named(new QPushButton("Clear Box"), "cmd_clear_output");

    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    Frame1 = named(new QGroupBox("Conversion Ratios"), "Frame1");
    Label1 = named(new QLabel("1 Hartree = 4.35974381E-18 J"), "Label1");
    Label4 = named(new QLabel("1 Calorie = 4.184 J"), "Label4");
    Label5 = named(new QLabel("1 Electron Volt (eV) = 1.602176462E-19 J"), "Label5");
    Label6 = named(new QLabel("1 Bohr = 0.529177249 Angstroms"), "Label6");
    Label7 = named(new QLabel("1 Atomic Mass Unit (amu) = 1.6605402E-27 Kg"), "Label7");
    Label8 = named(new QLabel("1 Electron Charge = 4.803242E-10 ESU"), "Label8");
    Label9 = named(new QLabel("= 1.602188E-19 Coulombs"), "Label9");
    Label10 = named(new QLabel("Planck's Constant (h) = 6.6260755E-34 JS"), "Label10");
    Label11 = named(new QLabel("Avogadro's Number = 6.0221367E+23"), "Label11");
    Label12 = named(new QLabel("Speed of Light (c) = 2.99792458E+10 cm/S"), "Label12");
    Label13 = named(new QLabel("Boltzman's Constant (k) = 1.380658E-23 J/K"), "Label13");
    Label14 = named(new QLabel("Inverse Fine Structure Constant = 137.0359895"), "Label14");
    Label15 = named(new QLabel("1 Electron Mass = 0.910953E-30 Kg"), "Label15");
    Label16 = named(new QLabel("1 Atomic Mass Unit = 1822.8880 Electron Mass"), "Label16");
    Label17 = named(new QLabel("1 Proton Mass = 1836.1527 Electron Mass"), "Label17");
    Label18 = named(new QLabel("1 Bohr-Electron = 2.541765 Debye"), "Label18");
    Label2 = named(new QLabel("1 Hz = 6.62606876E-34 J"), "Label2");
    Label3 = named(new QLabel("KT (300K) = 4.14195E-21 J = 25.85 mEv"), "Label3");

    inputs_ = {opt_in_hartree, opt_in_kjmol, opt_in_kcal_mol, opt_in_ev, opt_in_amu, opt_in_kg};
    outputs_ = {opt_out_hartree, opt_out_kjmol, opt_out_kcal_mol,
                opt_out_ev,      opt_out_amu,   opt_out_kg};

    lay_out_group(frm_input, inputs_, txt_input, cmd_clear_input);
    lay_out_group(Frame2, outputs_, txt_output, cmd_clear_output);
    auto* ratios = new QVBoxLayout(Frame1);
    for (QLabel* label :
         {Label1, Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label11, Label12,
          Label13, Label14, Label15, Label16, Label17, Label18, Label2, Label3})
        ratios->addWidget(label);
    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(frm_input, 0, 0);
    grid->addWidget(Frame2, 0, 1);
    grid->addWidget(Frame1, 0, 2, 2, 1);
    grid->addWidget(cmd_return, 1, 0, 1, 2);

    // Typed characters other than digits and points beep, Backspace included; the validator
    // keeps a pasted text to digits and points as well.
    filter_typed_keys({txt_input}, accepts_value_key);
    txt_input->installEventFilter(this);
    txt_input->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txt_input));

    // The units the window opens with: hartree to kJ/mol.
    opt_in_hartree->setChecked(true);
    const output_choice start = output_choice_for(conversion_unit::hartree);
    for (const conversion_unit unit : conversion_units)
        outputs_[index_of(unit)]->setEnabled(start.enabled[index_of(unit)]);
    outputs_[index_of(start.selected)]->setChecked(true);

    for (const conversion_unit unit : conversion_units) {
        connect(inputs_[index_of(unit)], &QRadioButton::clicked, this,
                [this, unit] { input_unit_clicked(unit); });
        connect(outputs_[index_of(unit)], &QRadioButton::clicked, this,
                [this] { update_conversion(); });
    }
    // Clear Box only clears: the output keeps its text until the next key or unit click.
    connect(cmd_clear_input, &QPushButton::clicked, this, [this] { txt_input->setText("0"); });
    connect(cmd_clear_output, &QPushButton::clicked, this, [this] { txt_output->setText("0"); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
}

conversion_unit frm_unit_conversion::input_unit() const {
    for (const conversion_unit unit : conversion_units)
        if (inputs_[index_of(unit)]->isChecked())
            return unit;
    return conversion_unit::hartree;
}

conversion_unit frm_unit_conversion::output_unit() const {
    for (const conversion_unit unit : conversion_units)
        if (outputs_[index_of(unit)]->isChecked())
            return unit;
    return conversion_unit::kjmol;
}

void frm_unit_conversion::update_conversion() {
    // A text that is not a number (two points, a point alone) leaves the output as it was.
    if (const auto result =
            qm::update_conversion(txt_input->text().toStdString(), input_unit(), output_unit()))
        txt_output->setText(QString::fromStdString(*result));
}

void frm_unit_conversion::input_unit_clicked(conversion_unit unit) {
    const output_choice choice = output_choice_for(unit);
    for (const conversion_unit out : conversion_units)
        outputs_[index_of(out)]->setEnabled(choice.enabled[index_of(out)]);
    outputs_[index_of(choice.selected)]->setChecked(true);
    update_conversion();
}

bool frm_unit_conversion::eventFilter(QObject* watched, QEvent* event) {
    // Every key released in the input box converts, whether its character was taken or not.
    if (watched == txt_input && event->type() == QEvent::KeyRelease)
        update_conversion();
    return QWidget::eventFilter(watched, event);
}

void frm_unit_conversion::closeEvent(QCloseEvent* event) {
    close_tool_window(event, false, [] { show_main_menu(); });
}

} // namespace qm
