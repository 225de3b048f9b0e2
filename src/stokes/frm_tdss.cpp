#include "stokes/frm_tdss.h"

#include "platform/qt/chart_panel.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

frm_tdss::frm_tdss(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_tdss");
    setWindowTitle("Time Dependent Stokes Shift");

    cmd_input_file = named(new QPushButton("1) &Select Spectral Density File"), "cmd_input_file");
    cmd_output_file = named(new QPushButton("2) Select &Output File"), "cmd_output_file");
    cmd_read_input_file = named(new QPushButton("3) &Read Input File"), "cmd_read_input_file");
    // Not "&Return": Alt+R belongs to Read Input File.
    cmd_return = named(new QPushButton("Re&turn to Stokes Shift Menu"), "cmd_return");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lblStatus = named(new QLabel("Status:"), "lblStatus");
    txt_status = named(new QLineEdit("Awaiting user selection of Spectral Density input file."),
                       "txt_status");
    txt_status->setReadOnly(true);
    frm_data_display = named(new QGroupBox("Data Display - NO DATA"), "frm_data_display");
    // Empty, with neither series nor axes, until a spectral density is read.
    chart_data1 = named(new QChartView(new QChart), "chart_data1");
    chart_data1->setMinimumSize(520, 340);
    chart_data1->setRenderHint(QPainter::Antialiasing);
    cmd_save_chart = named(new QPushButton("Save C&hart..."), "cmd_save_chart");
    set_enabled({cmd_output_file, cmd_read_input_file, cmd_save_chart}, false);

    auto* display = new QVBoxLayout(frm_data_display);
    display->addWidget(chart_data1, 1);
    display->addWidget(cmd_save_chart, 0, Qt::AlignRight);
    auto* steps = new QVBoxLayout;
    steps->addWidget(cmd_input_file);
    steps->addWidget(lbl_input_path);
    steps->addWidget(cmd_output_file);
    steps->addWidget(lbl_output_path);
    steps->addWidget(cmd_read_input_file);
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
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
    connect(cmd_save_chart, &QPushButton::clicked, this, [this] { save_picture(chart_data1); });
}

void frm_tdss::choose_input() {
    if (!choose_file(cmd_input_file, file_purpose::read, input_path_, lbl_input_path))
        return; // a cancelled dialog changes nothing
    cmd_output_file->setEnabled(true);
    txt_status->setText("Awaiting user selection of Time Dependent Stokes Shift output file.");
}

void frm_tdss::choose_output() {
    // The output is never written, so choosing an existing file replaces nothing.
    if (!choose_file(cmd_output_file, file_purpose::keep, output_path_, lbl_output_path))
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
    const chart_data chart = spectral_density_chart(table_);
    replace_chart(chart_data1, chart);
    frm_data_display->setTitle(
        QStringLiteral("Data Display - Spectral Density (%1 rows)").arg(table_.row_count));
    cmd_save_chart->setEnabled(true);
}

void frm_tdss::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
