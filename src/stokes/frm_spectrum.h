// "Spectrum from Excited States": the ensemble absorption or emission spectrum of a states
// table (or two columns, energy and oscillator strength), written as CSV and as the Stokes
// shift window's absfq.dat / emisfq.dat, drawn as a curve over the states' sticks. Opened
// from the Stokes shift tools sub-menu, which it shows again when it is unloaded.
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qm {

class chart_panel;
class path_label;
struct spectrum_settings;

class frm_spectrum : public QWidget {
    Q_OBJECT
public:
    explicit frm_spectrum(QWidget* parent = nullptr);

    QPushButton* cmd_input_file;
    QPushButton* cmd_output_file;
    QPushButton* cmd_stokes_file;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    path_label* lbl_stokes_path;
    QRadioButton* opt_all_states;
    QRadioButton* opt_chosen_states;
    QRadioButton* opt_gaussian;
    QRadioButton* opt_lorentzian;
    QLabel* lbl_fwhm;
    QLineEdit* txt_fwhm;
    QLabel* lbl_from;
    QLineEdit* txt_from;
    QLabel* lbl_to;
    QLineEdit* txt_to;
    QLabel* lbl_step;
    QLineEdit* txt_step;
    QLabel* lbl_snapshots;
    QLineEdit* txt_snapshots;
    QPushButton* cmd_execute;
    QPushButton* cmd_return;
    QLineEdit* txt_status;
    chart_panel* chart_spectrum;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void execute();
    spectrum_settings settings() const;

    std::string input_path_;
    std::string output_path_;
    std::string stokes_path_;
    bool job_running_ = false;
};

} // namespace qm
