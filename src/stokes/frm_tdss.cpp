#include "stokes/frm_tdss.h"

#include "platform/qt/chart_panel.h"
#include "platform/qt/number_box.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"
#include "stokes/stokes_shift_function.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

frm_tdss::frm_tdss(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_tdss");
    setWindowTitle("Time Dependent Stokes Shift");

    cmd_input_file = named(new QPushButton("1) &Select Spectral Density File"), "cmd_input_file");
    cmd_output_file = named(new QPushButton("2) Select &Output File"), "cmd_output_file");
    cmd_read_input_file = named(new QPushButton("3) &Read Input File"), "cmd_read_input_file");
    cmd_compute_stokes_shift =
        named(new QPushButton("4) &Compute Stokes Shift Function"), "cmd_compute_stokes_shift");
    lbl_t_max = named(new QLabel("End time (fs):"), "lbl_t_max");
    txt_t_max = named(new QLineEdit("2000"), "txt_t_max");
    lbl_t_step = named(new QLabel("Time step (fs):"), "lbl_t_step");
    txt_t_step = named(new QLineEdit("1"), "txt_t_step");
    // Not "&Return": Alt+R belongs to Read Input File.
    cmd_return = named(new QPushButton("Re&turn to Stokes Shift Menu"), "cmd_return");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lblStatus = named(new QLabel("Status:"), "lblStatus");
    txt_status = named(new QLineEdit("Awaiting user selection of Spectral Density input file."),
                       "txt_status");
    txt_status->setReadOnly(true);
    frm_data_display = named(new QGroupBox("Data Display - NO DATA"), "frm_data_display");
    // Empty until a spectral density is read.
    chart_data1 = new chart_panel("chart_data1");
    chart_data1->setMinimumSize(520, 340);
    cmd_save_chart = chart_data1->cmd_save_chart;
    set_enabled({cmd_output_file, cmd_read_input_file, cmd_compute_stokes_shift}, false);

    auto* display = new QVBoxLayout(frm_data_display);
    display->addWidget(chart_data1, 1);
    auto* steps = new QVBoxLayout;
    steps->addWidget(cmd_input_file);
    steps->addWidget(lbl_input_path);
    steps->addWidget(cmd_output_file);
    steps->addWidget(lbl_output_path);
    steps->addWidget(cmd_read_input_file);
    auto* times = new QFormLayout;
    times->addRow(lbl_t_max, txt_t_max);
    times->addRow(lbl_t_step, txt_t_step);
    steps->addLayout(times);
    steps->addWidget(cmd_compute_stokes_shift);
    steps->addStretch();
    steps->addWidget(cmd_return);
    auto* top = new QHBoxLayout;
    top->addLayout(steps);
    top->addWidget(frm_data_display, 1);
    auto* status = new QHBoxLayout;
    status->addWidget(lblStatus);
    status->addWidget(txt_status, 1);
    auto* layout = new QVBoxLayout(scrolling_page(this));
    layout->addLayout(top, 1);
    layout->addLayout(status);

    connect(cmd_input_file, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output_file, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_read_input_file, &QPushButton::clicked, this, [this] { read_input(); });
    connect(cmd_compute_stokes_shift, &QPushButton::clicked, this,
            [this] { compute_stokes_shift(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

void frm_tdss::choose_input() {
    if (!choose_file(cmd_input_file, file_purpose::read, input_path_, lbl_input_path))
        return; // a cancelled dialog changes nothing
    cmd_output_file->setEnabled(true);
    cmd_compute_stokes_shift->setEnabled(false); // until the new file is read
    txt_status->setText("Awaiting user selection of Time Dependent Stokes Shift output file.");
}

void frm_tdss::choose_output() {
    // Step 4 writes S(t) there, replacing a file of that name.
    if (!choose_file(cmd_output_file, file_purpose::overwrite, output_path_, lbl_output_path))
        return;
    cmd_read_input_file->setEnabled(true);
    txt_status->setText("Ready to read input file.");
}

void frm_tdss::read_input() {
    widget_job_ui ui({this, txt_status, nullptr, nullptr, nullptr, {this}});
    job_running_ = true;
    spectral_density_result result = read_spectral_density(input_path_, ui);
    job_running_ = false;
    if (result.outcome == spectral_density_outcome::error_report) {
        close(); // a failed read unloads the window, back to the sub-menu
        return;
    }
    table_ = std::move(result.table);
    show_spectral_density();
}

void frm_tdss::show_spectral_density() {
    chart_data1->show_charts({spectral_density_chart(table_)});
    frm_data_display->setTitle(
        QStringLiteral("Data Display - Spectral Density (%1 rows)").arg(table_.row_count));
    cmd_compute_stokes_shift->setEnabled(true);
}

void frm_tdss::compute_stokes_shift() {
    widget_job_ui ui({this, txt_status, nullptr, nullptr, nullptr, {this}});
    stokes_shift_function_settings settings;
    try {
        settings.t_max = box_number(txt_t_max, lbl_t_max);
        settings.t_step = box_number(txt_t_step, lbl_t_step);
    } catch (const number_box_problem& p) {
        ui.message(message_icon::exclamation, stokes_shift_function_title, p.text);
        return;
    }
    job_running_ = true;
    chart_data chart;
    const bool done = run_stokes_shift_function(table_, settings, output_path_, ui, &chart);
    job_running_ = false;
    if (!done)
        return;
    chart_data1->show_charts({chart});
    frm_data_display->setTitle(QStringLiteral("Data Display - Stokes Shift Function S(t) of %1")
                                   .arg(QFileInfo(QString::fromStdString(input_path_)).fileName()));
}

void frm_tdss::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
