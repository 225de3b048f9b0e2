// "Conversion Status": shown by the conversion window while a conversion job runs.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;

namespace qm {

class frm_convertor_status : public QWidget {
    Q_OBJECT
public:
    explicit frm_convertor_status(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* lbl_status;
    QLineEdit* txt_status; // the conversion job's StatusLine
    QLabel* Label5;
    QProgressBar* bar_progress;
    QLabel* Label6;
    QLabel* Label7;

    // While a job draws on this window its close box does nothing; the job unloads it.
    bool job_running = false;

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace qm
