#include "stokes/frm_spectrum.h"

#include "platform/qt/chart_panel.h"
#include "platform/qt/number_box.h"
#include "platform/qt/path_label.h"
#include "platform/qt/settings_grid.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"
#include "stokes/ensemble_spectrum.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace qm {

frm_spectrum::frm_spectrum(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_spectrum");
    setWindowTitle(QString::fromLatin1(spectrum_title.data(), spectrum_title.size()));

    cmd_input_file = named(new QPushButton("1) &Select States Table"), "cmd_input_file");
    cmd_output_file = named(new QPushButton("2) Spectrum &CSV File"), "cmd_output_file");
    cmd_stokes_file = named(new QPushButton("3) Stokes Shift S&pectrum File"), "cmd_stokes_file");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lbl_stokes_path = new path_label("lbl_stokes_path");
    opt_all_states = named(new QRadioButton("&All states"), "opt_all_states");
    opt_chosen_states = named(new QRadioButton("Chosen &roots only"), "opt_chosen_states");
    opt_gaussian = named(new QRadioButton("&Gaussian"), "opt_gaussian");
    opt_lorentzian = named(new QRadioButton("&Lorentzian"), "opt_lorentzian");
    opt_all_states->setChecked(true);
    opt_gaussian->setChecked(true);
    // Two independent choices: each pair is a group of its own.
    for (auto pair : {std::pair{opt_all_states, opt_chosen_states}, {opt_gaussian, opt_lorentzian}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(pair.first);
        group->addButton(pair.second);
    }
    lbl_fwhm = named(new QLabel("FWHM (eV):"), "lbl_fwhm");
    txt_fwhm = named(new QLineEdit("0.2"), "txt_fwhm");
    lbl_from = named(new QLabel("From (eV):"), "lbl_from");
    txt_from = named(new QLineEdit, "txt_from");
    txt_from->setPlaceholderText("lowest state - 3 FWHM");
    lbl_to = named(new QLabel("To (eV):"), "lbl_to");
    txt_to = named(new QLineEdit, "txt_to");
    txt_to->setPlaceholderText("highest state + 3 FWHM");
    lbl_step = named(new QLabel("Step (eV):"), "lbl_step");
    txt_step = named(new QLineEdit("0.005"), "txt_step");
    lbl_snapshots = named(new QLabel("Snapshots (two-column file):"), "lbl_snapshots");
    txt_snapshots = named(new QLineEdit("1"), "txt_snapshots");
    cmd_execute = named(new QPushButton("E&xecute"), "cmd_execute");
    cmd_execute->setEnabled(false);
    cmd_return = named(new QPushButton("Re&turn to Stokes Shift Menu"), "cmd_return");
    txt_status = named(new QLineEdit("Awaiting user selection of the states table."),
                       "txt_status");
    txt_status->setReadOnly(true);
    chart_spectrum = new chart_panel("chart_spectrum");
    chart_spectrum->setMinimumSize(560, 360);

    settings_grid column_rows;
    column_rows.add_rows({{cmd_input_file, lbl_input_path},
                          {cmd_output_file, lbl_output_path},
                          {cmd_stokes_file, lbl_stokes_path},
                          {opt_all_states, opt_chosen_states},
                          {opt_gaussian, opt_lorentzian}});
    column_rows.add_boxes({{lbl_fwhm, txt_fwhm},
                           {lbl_from, txt_from},
                           {lbl_to, txt_to},
                           {lbl_step, txt_step},
                           {lbl_snapshots, txt_snapshots}});
    lay_out_chart_tool(this, column_rows, cmd_execute, cmd_return, chart_spectrum, txt_status);

    connect(cmd_input_file, &QPushButton::clicked, this, [this] {
        if (choose_file(cmd_input_file, file_purpose::read, input_path_, lbl_input_path)) {
            cmd_execute->setEnabled(true);
            txt_status->setText("Ready to broaden the states.");
        }
    });
    connect(cmd_output_file, &QPushButton::clicked, this, [this] {
        choose_file(cmd_output_file, file_purpose::overwrite, output_path_, lbl_output_path);
    });
    connect(cmd_stokes_file, &QPushButton::clicked, this, [this] {
        choose_file(cmd_stokes_file, file_purpose::overwrite, stokes_path_, lbl_stokes_path);
    });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

spectrum_settings frm_spectrum::settings() const {
    spectrum_settings s;
    s.input = input_path_;
    s.output = output_path_;
    s.stokes_file = stokes_path_;
    s.states = opt_chosen_states->isChecked() ? state_choice::chosen : state_choice::all;
    s.shape = opt_lorentzian->isChecked() ? line_shape::lorentzian : line_shape::gaussian;
    s.fwhm = box_number(txt_fwhm, lbl_fwhm);
    s.from = optional_box_number(txt_from, lbl_from);
    s.to = optional_box_number(txt_to, lbl_to);
    s.step = box_number(txt_step, lbl_step);
    const double snapshots = box_number(txt_snapshots, lbl_snapshots);
    if (!(snapshots >= 1 && snapshots <= 9e15 && std::floor(snapshots) == snapshots))
        throw number_box_problem{"The number of snapshots must be a whole number of 1 or more"};
    s.snapshots = static_cast<std::int64_t>(snapshots);
    return s;
}

void frm_spectrum::execute() {
    widget_job_ui ui({this, txt_status, nullptr, nullptr, nullptr, {this}});
    spectrum_settings s;
    try {
        s = settings();
    } catch (const number_box_problem& p) {
        ui.message(message_icon::exclamation, spectrum_title, p.text);
        return;
    }
    job_running_ = true;
    chart_data chart;
    const spectrum_outcome outcome = run_spectrum(s, ui, &chart);
    job_running_ = false;
    if (outcome == spectrum_outcome::completed)
        chart_spectrum->show_charts({chart});
}

void frm_spectrum::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
