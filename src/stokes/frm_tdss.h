// "Time Dependent Stokes Shift": the front end of the time-dependent Stokes shift, in three
// steps: choose the spectral density file, choose an output file, read the input file into a
// table of rows of three numbers. The window stops there: it computes nothing from the table
// and never writes the output file; its chart shows the table read (columns 2 and 3 against
// column 1), its frame "Data Display - NO DATA" until then. Opened from the Stokes shift tools
// sub-menu, which it shows again when it is unloaded.
#pragma once

#include "stokes/spectral_density.h"

#include <QWidget>

#include <string>

class QChartView;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class path_label;

class frm_tdss : public QWidget {
    Q_OBJECT
public:
    explicit frm_tdss(QWidget* parent = nullptr);

    QPushButton* cmd_input_file;
    QPushButton* cmd_output_file;
    QPushButton* cmd_read_input_file;
    QPushButton* cmd_return;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QLabel* lblStatus;
    QLineEdit* txt_status;
    QGroupBox* frm_data_display;
    QChartView* chart_data1;
    QPushButton* cmd_save_chart;

    const std::string& input_path() const { return input_path_; }
    // Kept for the steps that will use it; nothing is written to it.
    const std::string& output_path() const { return output_path_; }
    const spectral_density_table& spectral_density() const { return table_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_input();
    void choose_output();
    void read_input();
    void show_spectral_density();

    std::string input_path_;
    std::string output_path_;
    spectral_density_table table_;
    bool job_running_ = false;
};

} // namespace qm
