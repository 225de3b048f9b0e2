// "Stokes Shift QMMM Investigation Tools": the sub-menu of the Stokes shift tools.
#pragma once

#include <QWidget>

class QPushButton;

namespace qm {

class frm_stokes_shift_tools : public QWidget {
    Q_OBJECT
public:
    explicit frm_stokes_shift_tools(QWidget* parent = nullptr);

    QPushButton* cmd_ev_extract;
    QPushButton* cmd_Data_extract1;
    QPushButton* cmd_Phase_correct;
    QPushButton* cmd_TDSS;
    QPushButton* cmd_spectrum;
    QPushButton* cmd_gap_fluctuations;
    QPushButton* cmd_return;

protected:
    // Unload step: back to the main menu.
    void closeEvent(QCloseEvent* event) override;
};

} // namespace qm
