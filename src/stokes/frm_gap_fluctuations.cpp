#include "stokes/frm_gap_fluctuations.h"

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
#include "stokes/gap_fluctuations.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {
frm_gap_fluctuations::frm_gap_fluctuations(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_gap_fluctuations");
    setWindowTitle(
        QString::fromLatin1(gap_fluctuations_title.data(), gap_fluctuations_title.size()));

    cmd_input_file = named(new QPushButton("1) &Select Energy Gap Series"), "cmd_input_file");
    cmd_correlation_file =
        named(new QPushButton("2) &Correlation Function File"), "cmd_correlation_file");
    cmd_spectral_density_file =
        named(new QPushButton("3) S&pectral Density File"), "cmd_spectral_density_file");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_correlation_path = new path_label("lbl_correlation_path");
    lbl_spectral_density_path = new path_label("lbl_spectral_density_path");
    lbl_temperature = named(new QLabel("Temperature (K):"), "lbl_temperature");
    txt_temperature = named(new QLineEdit("300"), "txt_temperature");
    lbl_max_lag = named(new QLabel("Maximum lag (fs):"), "lbl_max_lag");
    txt_max_lag = named(new QLineEdit, "txt_max_lag");
    txt_max_lag->setPlaceholderText("half the series");
    lbl_damping = named(new QLabel("Damping time (fs, 0 none):"), "lbl_damping");
    txt_damping = named(new QLineEdit("0"), "txt_damping");
    lbl_wavenumber_max = named(new QLabel("Wavenumber maximum (cm-1):"), "lbl_wavenumber_max");
    txt_wavenumber_max = named(new QLineEdit("4000"), "txt_wavenumber_max");
    lbl_wavenumber_step = named(new QLabel("Wavenumber step (cm-1):"), "lbl_wavenumber_step");
    txt_wavenumber_step = named(new QLineEdit("1"), "txt_wavenumber_step");
    cmd_execute = named(new QPushButton("E&xecute"), "cmd_execute");
    cmd_execute->setEnabled(false);
    cmd_return = named(new QPushButton("Re&turn to Stokes Shift Menu"), "cmd_return");
    txt_status = named(new QLineEdit("Awaiting user selection of the energy gap series."),
                       "txt_status");
    txt_status->setReadOnly(true);
    txt_summary = named(new QPlainTextEdit, "txt_summary");
    txt_summary->setReadOnly(true);
    chart_fluctuations = new chart_panel("chart_fluctuations");
    chart_fluctuations->setMinimumSize(560, 480);

    settings_grid column_rows;
    column_rows.add_rows({{cmd_input_file, lbl_input_path},
                          {cmd_correlation_file, lbl_correlation_path},
                          {cmd_spectral_density_file, lbl_spectral_density_path}});
    column_rows.add_boxes({{lbl_temperature, txt_temperature},
                           {lbl_max_lag, txt_max_lag},
                           {lbl_damping, txt_damping},
                           {lbl_wavenumber_max, txt_wavenumber_max},
                           {lbl_wavenumber_step, txt_wavenumber_step}});
    column_rows.layout()->addWidget(txt_summary, 8, 0, 1, 2);
    lay_out_chart_tool(this, column_rows, cmd_execute, cmd_return, chart_fluctuations, txt_status);

    connect(cmd_input_file, &QPushButton::clicked, this, [this] {
        if (choose_file(cmd_input_file, file_purpose::read, input_path_, lbl_input_path)) {
            cmd_execute->setEnabled(true);
            txt_status->setText("Ready to analyse the series.");
        }
    });
    connect(cmd_correlation_file, &QPushButton::clicked, this, [this] {
        choose_file(cmd_correlation_file, file_purpose::overwrite, correlation_path_,
                    lbl_correlation_path);
    });
    connect(cmd_spectral_density_file, &QPushButton::clicked, this, [this] {
        choose_file(cmd_spectral_density_file, file_purpose::overwrite, spectral_density_path_,
                    lbl_spectral_density_path);
    });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

gap_fluctuation_settings frm_gap_fluctuations::settings() const {
    gap_fluctuation_settings s;
    s.input = input_path_;
    s.correlation = correlation_path_;
    s.spectral_density = spectral_density_path_;
    s.temperature = box_number(txt_temperature, lbl_temperature);
    s.max_lag = optional_box_number(txt_max_lag, lbl_max_lag);
    s.damping = box_number(txt_damping, lbl_damping);
    s.wavenumber_max = box_number(txt_wavenumber_max, lbl_wavenumber_max);
    s.wavenumber_step = box_number(txt_wavenumber_step, lbl_wavenumber_step);
    return s;
}

void frm_gap_fluctuations::execute() {
    widget_job_ui ui({this, txt_status, nullptr, nullptr, nullptr, {this}});
    gap_fluctuation_settings s;
    try {
        s = settings();
    } catch (const number_box_problem& p) {
        ui.message(message_icon::exclamation, gap_fluctuations_title, p.text);
        return;
    }
    job_running_ = true;
    gap_fluctuation_display shown;
    const gap_fluctuation_outcome outcome = run_gap_fluctuations(s, ui, &shown);
    job_running_ = false;
    if (outcome != gap_fluctuation_outcome::completed)
        return;
    txt_summary->setPlainText(QString::fromStdString(shown.summary));
    chart_fluctuations->show_charts(shown.charts);
}

void frm_gap_fluctuations::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
