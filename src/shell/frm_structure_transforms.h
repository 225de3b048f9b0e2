// "Structure Transformation Tools": a sub-menu whose tools are reached elsewhere (the TDM
// transformations run inside the Ev extraction tool), so only its Return button acts.
#pragma once

#include <QWidget>

class QPushButton;

namespace qm {

class frm_structure_transforms : public QWidget {
    Q_OBJECT
public:
    explicit frm_structure_transforms(QWidget* parent = nullptr);

    QPushButton* cmd_TDM_transforms;      // enabled, does nothing
    QPushButton* cmd_structure_transform; // disabled, does nothing
    QPushButton* cmd_return;

protected:
    // Unload step: back to the main menu.
    void closeEvent(QCloseEvent* event) override;
};

} // namespace qm
