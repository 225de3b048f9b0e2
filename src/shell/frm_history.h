// "Version History": the changes of every release, newest first, read-only. Opened from the
// About window; its Close button unloads it.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace qm {

class frm_history : public QWidget {
    Q_OBJECT
public:
    explicit frm_history(QWidget* parent = nullptr);

    QPlainTextEdit* txt_history;
    QPushButton* cmd_close;
};

} // namespace qm
