// "About": which program and version this is, and the way to the version history. Opened by
// the main menu's About button beside the menu, which stays in front with its pictures
// running; closed only by the window frame's close box.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace qm {

class frm_about : public QWidget {
    Q_OBJECT
public:
    explicit frm_about(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* lbl_version;
    QLabel* Label3;
    QLabel* lbl_not;
    QPushButton* cmd_history;
};

} // namespace qm
