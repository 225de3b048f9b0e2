// "Gaussian Output Convertor": the Output Conversion/Extraction window. Four stages (input
// file, output file, input type, output type), then Execute starts the route of the input
// type half a second later while the status window shows progress.
#pragma once

#include "conversion/conversion_job.h"

#include <QWidget>

#include <optional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qm {

class path_label;

class frm_convertor : public QWidget {
    Q_OBJECT
public:
    explicit frm_convertor(QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* cmd_input;
    QLabel* Label2;
    QPushButton* cmd_output;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QPushButton* cmd_return;
    QPushButton* cmd_reset;
    QLabel* Label3;
    QGroupBox* frame_stage_3;
    QRadioButton* opt_in_g98;
    QRadioButton* opt_in_g94;
    QRadioButton* opt_in_gaussian_cart;
    QRadioButton* opt_in_xyz;
    QLabel* Label4;
    QGroupBox* frame_stage_4;
    QRadioButton* opt_out_xyz;
    QRadioButton* opt_out_pdb;
    QRadioButton* opt_out_g94;
    QLabel* lbl_multiple_geom;
    QCheckBox* chk_multiple_geom;
    QRadioButton* opt_out_freq;
    // The layouts other programs read, enabled as their own-layout neighbours above.
    QRadioButton* opt_out_standard_xyz;
    QRadioButton* opt_out_standard_pdb;
    QPushButton* cmd_execute;
    // One-shot start timers, one per input type; only the one Execute chose is started.
    QTimer* xyz_in_call_module_timer;
    QTimer* gaussian_cart_in_call_module_timer;
    QTimer* g94_in_call_module_timer;
    QTimer* g98_in_call_module_timer;

    bool job_running() const { return job_running_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void connect_events();
    void reset_step();
    void choose_input();
    void choose_output();
    void input_type_clicked(input_type type);
    void execute();
    void reset_form();
    void return_to_menu();
    void start_route();
    // Stops a route that Execute scheduled but that has not started, and closes the status
    // window it had opened.
    void cancel_pending_route();
    std::optional<input_type> selected_input_type() const;
    output_type selected_output_type() const;
    QTimer* timer_for(input_type type) const;

    std::string input_path_;
    std::string output_path_;
    std::string output_title_;
    // The settings as they were when Execute was pressed.
    std::optional<conversion_settings> pending_;
    bool job_running_ = false;
};

} // namespace qm
