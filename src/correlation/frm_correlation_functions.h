// "Correlation Function Calculation": choose input 1, input 2 and the output in that order,
// set the options and Execute. Every run ends with the window unloaded, whatever its outcome,
// which brings back the main menu it was opened from.
#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace qm {

class path_label;

class frm_correlation_functions : public QWidget {
    Q_OBJECT
public:
    explicit frm_correlation_functions(QWidget* parent = nullptr);

    QLabel* frm_title;
    QLabel* Label1;
    QLabel* Image1; // the correlation function
    QLabel* Label3;
    QLabel* Image3; // the summation
    QLabel* Label2;
    QLabel* Image2; // the summation scaled by the mean square deviation
    QLabel* Label5;
    QPushButton* cmd_input1;
    QPushButton* cmd_input2;
    QPushButton* cmd_output;
    QPushButton* cmd_execute;
    path_label* lbl_input1_path;
    path_label* lbl_input2_path;
    path_label* lbl_output_path;
    QCheckBox* chk_adjust_by_mean;
    QCheckBox* chk_adjust_by_msd;
    QCheckBox* chk_norm_to_one;
    QLabel* lbl_method;
    QComboBox* cbo_method; // "Exact order" (the direct sum) or "FFT"
    QGroupBox* Frame1;
    QProgressBar* ProgressBar;
    QLabel* Label4;
    QLabel* Label7;
    QLabel* Label8;
    QPushButton* cmd_return;

    const std::string& input1_path() const { return input1_; }
    const std::string& input2_path() const { return input2_; }
    const std::string& output_path() const { return output_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void execute();

    std::string input1_;
    std::string input2_;
    std::string output_;
    bool job_running_ = false;
};

} // namespace qm
