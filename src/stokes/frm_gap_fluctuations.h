// "Energy Gap Fluctuations": the statistics of an energy-gap series, its correlation function
// and its spectral density (written for the Time Dependent Stokes Shift window), with charts
// of C(t)/C(0) and J. Opened from the Stokes shift tools sub-menu, which it shows again when
// it is unloaded.
#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class chart_panel;
class path_label;
struct gap_fluctuation_settings;

class frm_gap_fluctuations : public QWidget {
    Q_OBJECT
public:
    explicit frm_gap_fluctuations(QWidget* parent = nullptr);

    QPushButton* cmd_input_file;
    QPushButton* cmd_correlation_file;
    QPushButton* cmd_spectral_density_file;
    path_label* lbl_input_path;
    path_label* lbl_correlation_path;
    path_label* lbl_spectral_density_path;
    QLabel* lbl_temperature;
    QLineEdit* txt_temperature;
    QLabel* lbl_max_lag;
    QLineEdit* txt_max_lag;
    QLabel* lbl_damping;
    QLineEdit* txt_damping;
    QLabel* lbl_wavenumber_max;
    QLineEdit* txt_wavenumber_max;
    QLabel* lbl_wavenumber_step;
    QLineEdit* txt_wavenumber_step;
    QPushButton* cmd_execute;
    QPushButton* cmd_return;
    QLineEdit* txt_status;
    QPlainTextEdit* txt_summary;
    chart_panel* chart_fluctuations;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void execute();
    gap_fluctuation_settings settings() const;

    std::string input_path_;
    std::string correlation_path_;
    std::string spectral_density_path_;
    bool job_running_ = false;
};

} // namespace qm
