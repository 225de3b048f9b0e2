// "Ev Extraction": the window of the excited-state extraction. Pick one file of a numbered
// series, scan the series, choose how each root's state is picked and what is written, then
// Execute runs the job over the series.
#pragma once

#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "platform/chart_data.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace qm {

class frm_ev_extract : public QWidget {
    Q_OBJECT
public:
    explicit frm_ev_extract(QWidget* parent = nullptr);

    QPushButton* cmd_Gaussian_files;
    QLabel* lbl_current_path;
    QLineEdit* txt_current_data_path;
    QLabel* lbl_file_prefix;
    QLineEdit* txt_File_Prefix;
    QLabel* lbl_filename_suffix;
    QLineEdit* txt_File_suffix;
    QLabel* lbl_file_range;
    QLineEdit* txt_file_start;
    QLabel* lbl_file_to;
    QLineEdit* txt_file_end;
    QLabel* lbl_interval;
    QLineEdit* txt_interval;
    QCheckBox* chk_zipped_files;
    QPushButton* cmd_scan_file;
    QLabel* lbl_output_file_name_prefix;
    QLineEdit* txt_output_prefix;
    QLabel* lbl_time_step;
    QLineEdit* txt_time_step;
    QLabel* lbl_points;
    QLineEdit* txt_points;
    QLabel* lbl_root;
    QLineEdit* txt_root_start;
    QLabel* Label1;
    QLineEdit* txt_root_end;
    QLabel* lbl_limits;
    QLineEdit* txt_limit_low;
    QLabel* lbl_to_2;
    QLineEdit* txt_limit_high;
    QLabel* lblno_roots;
    QLineEdit* txtno_roots;
    QGroupBox* frm_extract_mode;
    QRadioButton* opt_extractonTDM;
    QRadioButton* opt_extractonLowEnergy;
    QRadioButton* opt_gaussian_ordered;
    QRadioButton* opt_orbital_profile;
    QLabel* lbl_orb_state1;
    QLineEdit* txt_orb_state1_from;
    QLabel* lbl_orb_state1_to;
    QLineEdit* txt_orb_state1_to;
    QLabel* lbl_orb_state2;
    QLineEdit* txt_orb_state2_from;
    QLabel* lbl_orb_state2_to;
    QLineEdit* txt_orb_state2_to;
    QCheckBox* chk_tdm_data;
    QCheckBox* chk_TDM_sep_files;
    QCheckBox* chk_scfenergies;
    QCheckBox* chk_SCF_cycles;
    QCheckBox* chk_orbitals;
    QCheckBox* chk_status_file;
    QCheckBox* chk_calc_tdm_angle;
    QCheckBox* chk_rawTDMs;
    QCheckBox* chk_calc_rel_tdm;
    QCheckBox* chk_tdm_align_only;
    QPushButton* cmd_execute;
    QPushButton* cmd_return;
    QPushButton* cmd_show_chart; // the charts of the last completed run
    QGroupBox* Frame1;
    QLineEdit* txtCurrentStatus;
    QLabel* lbl_files_processed;
    QLabel* lbl_files_remaining;
    QLabel* Label3;
    QProgressBar* ProgressBar;
    QLabel* Label7;
    QLabel* Label8;
    // Beyond the series as first built: padded file numbers, failed files and empty windows,
    // the range to each file's last state, the last section, and the two tables.
    QLabel* lbl_digits;
    QLineEdit* txt_digits;
    QCheckBox* chk_root_end_all;
    QLabel* lbl_empty_slots;
    QComboBox* cbo_empty_slots;
    QCheckBox* chk_skip_failed;
    QCheckBox* chk_last_section;
    QCheckBox* chk_results_table;
    QPushButton* cmd_results_table;
    QLineEdit* txt_results_table;
    QCheckBox* chk_states_table;
    QPushButton* cmd_states_table;
    QLineEdit* txt_states_table;

    // The series of the last scan.
    const file_series& series() const { return series_; }
    bool job_running() const { return job_running_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void lay_out();
    void connect_events();
    void choose_file();
    void scan();
    void execute();
    void update_root_count_rules();
    void update_orbital_controls();
    void update_execute_for_settings();
    void update_execute_for_roots();
    void enable_scanned_controls(bool enabled);
    void choose_table(QPushButton* button, QLineEdit* path);
    bool tables_named();
    ev_texts texts() const;
    ev_choices choices() const;

    std::string data_path_;
    file_series series_;
    std::vector<chart_data> charts_;
    bool job_running_ = false;
};

} // namespace qm
