#include "stokes/frm_Phase_Correction.h"

#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_chart.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"
#include "stokes/phase_correction.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace qm {

frm_Phase_Correction::frm_Phase_Correction(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_Phase_Correction");
    setWindowTitle("Phase Correction Utility");

    cmd_input_file = named(new QPushButton("Select Phase &Input File"), "cmd_input_file");
    cmd_output_file =
        named(new QPushButton("Select Corrected Phase &Output File"), "cmd_output_file");
    cmd_execute = named(new QPushButton("E&xecute"), "cmd_execute");
    cmd_return = named(new QPushButton("&Return to Stokes Shift Menu"), "cmd_return");
    cmd_show_chart = named(new QPushButton("Show &Chart"), "cmd_show_chart");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lbl_phase_column = named(new QLabel("Phase Column in file:"), "lbl_phase_column");
    txt_phase_column = named(new QLineEdit("3"), "txt_phase_column");
    txt_phase_column->setMaximumWidth(80);
    prg_progress = progress_bar("prg_progress", 100);
    lbl_progress = named(new QLabel("Progress:"), "lbl_progress");
    lbl_zero = named(new QLabel("0 %"), "lbl_zero");
    lbl_100 = named(new QLabel("100 %"), "lbl_100");
    set_enabled({cmd_output_file, cmd_execute, cmd_show_chart}, false);

    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(cmd_input_file, 0, 0);
    grid->addWidget(lbl_input_path, 0, 1);
    grid->addWidget(cmd_output_file, 1, 0);
    grid->addWidget(lbl_output_path, 1, 1);
    grid->addWidget(lbl_phase_column, 2, 0);
    // Aligned, so the narrow box never narrows the column of the paths shown above.
    grid->addWidget(txt_phase_column, 2, 1, Qt::AlignLeft);
    grid->addWidget(lbl_progress, 3, 0, 1, 2);
    grid->addWidget(prg_progress, 4, 0, 1, 2);
    auto* bar_ends = new QHBoxLayout;
    bar_ends->addWidget(lbl_zero);
    bar_ends->addStretch();
    bar_ends->addWidget(lbl_100);
    grid->addLayout(bar_ends, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_execute);
    buttons->addWidget(cmd_show_chart);
    buttons->addWidget(cmd_return);
    grid->addLayout(buttons, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(cmd_input_file, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output_file, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
    connect(cmd_show_chart, &QPushButton::clicked, this, [this] { show_charts(this, {chart_}); });
}

void frm_Phase_Correction::choose_input() {
    if (!choose_file(cmd_input_file, file_purpose::read, input_path_, lbl_input_path))
        return; // a cancelled dialog changes nothing
    cmd_output_file->setEnabled(true);
}

void frm_Phase_Correction::choose_output() {
    if (!choose_file(cmd_output_file, file_purpose::overwrite, output_path_, lbl_output_path))
        return;
    cmd_execute->setEnabled(true);
}

void frm_Phase_Correction::execute() {
    const phase_correction_settings settings{input_path_, output_path_,
                                             txt_phase_column->text().toStdString()};
    widget_job_ui ui({this, nullptr, nullptr, nullptr, prg_progress, {this}});
    job_running_ = true;
    chart_data chart;
    const phase_correction_outcome outcome = correct_phases(settings, ui, &chart);
    job_running_ = false;
    prg_progress->setValue(0);
    // A failed run keeps its files, so the user can mend the column or the input and run again;
    // a completed one starts over with the input file.
    if (outcome != phase_correction_outcome::completed)
        return;
    set_enabled({cmd_execute, cmd_output_file}, false);
    input_path_.clear();
    output_path_.clear();
    lbl_input_path->set_path(input_path_);
    lbl_output_path->set_path(output_path_);
    chart_ = std::move(chart);
    cmd_show_chart->setEnabled(true);
    show_charts(this, {chart_});
}

void frm_Phase_Correction::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
