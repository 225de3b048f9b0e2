// "Time Dependent Stokes Shift": the time-dependent Stokes shift of a spectral density, in four
// steps: choose the spectral density file, choose an output file, read the input file into a
// table of rows of three numbers (charted: columns 2 and 3 against column 1), then compute the
// Stokes shift function S(t) from it, write it to the output file and chart it, with the
// reorganisation energy in the status box. The frame reads "Data Display - NO DATA" until
// there is data. Opened from the Stokes shift tools sub-menu, which it shows again when it is
// unloaded.
#pragma once

#include "stokes/spectral_density.h"

#include <QWidget>

#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class chart_panel;
class path_label;

class frm_tdss : public QWidget {
    Q_OBJECT
public:
    explicit frm_tdss(QWidget* parent = nullptr);

    QPushButton* cmd_input_file;
    QPushButton* cmd_output_file;
    QPushButton* cmd_read_input_file;
    QPushButton* cmd_compute_stokes_shift;
    QLabel* lbl_t_max;
    QLineEdit* txt_t_max;
    QLabel* lbl_t_step;
    QLineEdit* txt_t_step;
    QPushButton* cmd_return;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QLabel* lblStatus;
    QLineEdit* txt_status;
    QGroupBox* frm_data_display;
    // The chart with its zoom, crosshair read-out, "Save Data..." and "Save Chart...".
    chart_panel* chart_data1;
    QPushButton* cmd_save_chart; // the chart's own

    const std::string& input_path() const { return input_path_; }
    // Where step 4 writes S(t).
    const std::string& output_path() const { return output_path_; }
    const spectral_density_table& spectral_density() const { return table_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_input();
    void choose_output();
    void read_input();
    void show_spectral_density();
    void compute_stokes_shift();

    std::string input_path_;
    std::string output_path_;
    spectral_density_table table_;
    bool job_running_ = false;
};

} // namespace qm
