// "Amber Tools": the sub-menu of the Amber trajectory and text line tools.
#pragma once

#include <QWidget>

class QPushButton;

namespace qm {

class frm_Amber_Tools : public QWidget {
    Q_OBJECT
public:
    explicit frm_Amber_Tools(QWidget* parent = nullptr);

    QPushButton* cmd_mdcrd;
    QPushButton* Command1; // the text file line extraction tool
    QPushButton* cmd_return;

protected:
    // Unload step: back to the main menu.
    void closeEvent(QCloseEvent* event) override;
};

} // namespace qm
