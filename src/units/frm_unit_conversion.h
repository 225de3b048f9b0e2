// "Unit Conversion": a number typed in the input box is converted as soon as a key is
// released or a unit is chosen; beside it a panel of reference constants. Opened from the
// main menu, which it shows again when it is unloaded.
#pragma once

#include "units/unit_conversion.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qm {

class frm_unit_conversion : public QWidget {
    Q_OBJECT
public:
    explicit frm_unit_conversion(QWidget* parent = nullptr);

    QGroupBox* frm_input;
    QRadioButton* opt_in_hartree;
    QRadioButton* opt_in_kjmol;
    QRadioButton* opt_in_kcal_mol;
    QRadioButton* opt_in_ev;
    QRadioButton* opt_in_amu;
    QRadioButton* opt_in_kg;
    QLineEdit* txt_input;
    QPushButton* cmd_clear_input;
    QGroupBox* Frame2;
    QRadioButton* opt_out_hartree;
    QRadioButton* opt_out_kjmol;
    QRadioButton* opt_out_kcal_mol;
    QRadioButton* opt_out_ev;
    QRadioButton* opt_out_amu;
    QRadioButton* opt_out_kg;
    QLineEdit* txt_output;
    QPushButton* cmd_clear_output;
    QPushButton* cmd_return;
    QGroupBox* Frame1;
    // The reference panel, top to bottom; display only.
    QLabel* Label1;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label2;
    QLabel* Label3;

    // The selected units (exactly one of each group is selected).
    conversion_unit input_unit() const;
    conversion_unit output_unit() const;

    // Converts the input box's text into the output box, or leaves the output as it is.
    void update_conversion();

protected:
    // Key releases in the input box.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void input_unit_clicked(conversion_unit unit);

    // Indexed like conversion_units.
    std::array<QRadioButton*, 6> inputs_{};
    std::array<QRadioButton*, 6> outputs_{};
};

} // namespace qm
