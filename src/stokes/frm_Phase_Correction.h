// "Phase Correction Utility": choose the phase file, then the corrected output file, set the
// phase column, and Execute writes the file with the 2 pi jumps of that column removed.
// Opened from the Stokes shift tools sub-menu, which it shows again when it is unloaded.
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class path_label;

class frm_Phase_Correction : public QWidget {
    Q_OBJECT
public:
    explicit frm_Phase_Correction(QWidget* parent = nullptr);

    QPushButton* cmd_input_file;
    QPushButton* cmd_output_file;
    QPushButton* cmd_execute;
    QPushButton* cmd_return;
    QPushButton* cmd_show_chart; // the chart of the last completed run
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QLabel* lbl_phase_column;
    QLineEdit* txt_phase_column;
    QProgressBar* prg_progress;
    QLabel* lbl_progress;
    QLabel* lbl_zero;
    QLabel* lbl_100;

    const std::string& input_path() const { return input_path_; }
    const std::string& output_path() const { return output_path_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_input();
    void choose_output();
    void execute();

    std::string input_path_;
    std::string output_path_;
    chart_data chart_;
    bool job_running_ = false;
};

} // namespace qm
