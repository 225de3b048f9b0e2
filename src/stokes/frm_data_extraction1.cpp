#include "stokes/frm_data_extraction1.h"

#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_chart.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"
#include "stokes/stokes_shift_summary.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace qm {

frm_data_extraction1::frm_data_extraction1(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_data_extraction1");
    setWindowTitle("Data Extraction 1");

    lbl_title = named(new QLabel("This module takes the output from the Steady State Program "
                                 "(emisfq.dat and absfq.dat) and produces a summary file of the "
                                 "data giving the stokes shift and reorganisation energies."),
                      "lbl_title");
    lbl_title->setWordWrap(true);
    lbl_Input_Path = named(new QLabel("Stage 1: Select Data Path:"), "lbl_Input_Path");
    cmd_Input_Path = named(new QPushButton("&Select Path to Absfq.dat File"), "cmd_Input_Path");
    lbl_current_path = named(new QLabel("Current Data Path"), "lbl_current_path");
    txt_current_data_path = named(new QLineEdit, "txt_current_data_path");
    lblOutput_Pathname = named(new QLabel("Enter Output Path + Filename:"), "lblOutput_Pathname");
    txt_output_file = named(new QLineEdit("c:\\QMMM_Summary.dat"), "txt_output_file");
    cmd_Execute = named(new QPushButton("E&xecute"), "cmd_Execute");
    cmd_return = named(new QPushButton("&Return to Stokes Shift Menu"), "cmd_return");
    cmd_show_chart = named(new QPushButton("Show &Chart"), "cmd_show_chart");
    cmd_show_chart->setEnabled(false);
    txt_status = named(new QLineEdit, "txt_status");
    txt_status->setReadOnly(true);

    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(lbl_title, 0, 0, 1, 2);
    grid->addWidget(lbl_Input_Path, 1, 0);
    grid->addWidget(cmd_Input_Path, 1, 1);
    grid->addWidget(lbl_current_path, 2, 0);
    grid->addWidget(txt_current_data_path, 2, 1);
    grid->addWidget(lblOutput_Pathname, 3, 0);
    grid->addWidget(txt_output_file, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_Execute);
    buttons->addWidget(cmd_show_chart);
    buttons->addWidget(cmd_return);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->addWidget(txt_status, 5, 0, 1, 2);
    resize(560, 0); // room for a data path; as high as the controls need

    connect(cmd_Input_Path, &QPushButton::clicked, this, [this] { choose_path(); });
    connect(cmd_Execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
    connect(cmd_show_chart, &QPushButton::clicked, this, [this] { show_charts(this, {chart_}); });
}

void frm_data_extraction1::choose_path() {
    const file_choice choice = ask_for_file(cmd_Input_Path, file_purpose::read);
    if (!choice.ok)
        return; // a cancelled dialog leaves the path as it was
    // The chosen file's folder, with its final separator: the full name less the file title.
    const std::size_t folder =
        choice.path.size() - std::min(choice.path.size(), choice.title.size());
    txt_current_data_path->setText(QString::fromStdString(choice.path.substr(0, folder)));
}

void frm_data_extraction1::execute() {
    // The path box is the data path, whether the dialog filled it or the user typed it.
    const stokes_shift_settings settings{txt_current_data_path->text().toStdString(),
                                         txt_output_file->text().toStdString()};
    widget_job_ui ui({this, txt_status, nullptr, nullptr, nullptr, {this}});
    job_running_ = true;
    chart_data chart;
    const stokes_shift_result result = stokes_shift_summary(settings, ui, &chart);
    job_running_ = false;
    // After a failure only the way back to the sub-menu is left.
    if (result.outcome == stokes_shift_outcome::error_report) {
        cmd_Execute->setEnabled(false);
        return;
    }
    chart_ = std::move(chart);
    cmd_show_chart->setEnabled(true);
    show_charts(this, {chart_});
}

void frm_data_extraction1::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
