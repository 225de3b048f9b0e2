// "Time Conversion Tool": choose an input file, an output file and the unit; Execute writes
// every duration line of the input with its total in that unit. Opened from the main menu,
// which it shows again when it is unloaded.
#pragma once

#include "units/time_conversion.h"

#include <QWidget>

#include <string>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace qm {

class path_label;

class frm_time_conversion : public QWidget {
    Q_OBJECT
public:
    explicit frm_time_conversion(QWidget* parent = nullptr);

    QPushButton* cmd_input;
    QPushButton* cmd_output;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QGroupBox* frm_output;
    QRadioButton* opt_seconds;
    QRadioButton* opt_minutes;
    QRadioButton* opt_hours;
    QRadioButton* opt_days;
    QPushButton* cmd_execute;
    QPushButton* cmd_main_menu;
    QLabel* Label3;
    QProgressBar* progress_bar;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Picture1;
    QLabel* Picture2;

    const std::string& input_path() const { return input_path_; }
    const std::string& output_path() const { return output_path_; }
    // Seconds, minutes, hours in that order; days when none of those is selected.
    time_unit chosen_unit() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_input();
    void choose_output();
    void execute();

    std::string input_path_;
    std::string output_path_;
    bool job_running_ = false;
};

} // namespace qm
