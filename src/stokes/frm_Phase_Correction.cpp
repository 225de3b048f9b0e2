#include "stokes/frm_Phase_Correction.h"

#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_registry.h"
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
    lbl_phase_column = named(new QLabel("Phase Column in file:"), "lbl_phase_column");
    txt_phase_column = named(new QLineEdit("3"), "txt_phase_column");
    txt_phase_column->setMaximumWidth(80);
    prg_progress = progress_bar("prg_progress", 100);
    lbl_progress = named(new QLabel("Progress:"), "lbl_progress");
    lbl_zero = named(new QLabel("0 %"), "lbl_zero");
    lbl_100 = named(new QLabel("100 %"), "lbl_100");
    cmd_output_file->setEnabled(false);
    cmd_execute->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(cmd_input_file, 0, 0, 1, 2);
    grid->addWidget(cmd_output_file, 1, 0, 1, 2);
    grid->addWidget(lbl_phase_column, 2, 0);
    grid->addWidget(txt_phase_column, 2, 1);
    grid->addWidget(lbl_progress, 3, 0, 1, 2);
    grid->addWidget(prg_progress, 4, 0, 1, 2);
    auto* bar_ends = new QHBoxLayout;
    bar_ends->addWidget(lbl_zero);
    bar_ends->addStretch();
    bar_ends->addWidget(lbl_100);
    grid->addLayout(bar_ends, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_execute);
    buttons->addWidget(cmd_return);
    grid->addLayout(buttons, 6, 0, 1, 2);

    connect(cmd_input_file, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output_file, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

void frm_Phase_Correction::choose_input() {
    if (!choose_file(this, input_path_))
        return; // a cancelled dialog changes nothing
    cmd_output_file->setEnabled(true);
}

void frm_Phase_Correction::choose_output() {
    if (!choose_file(this, output_path_))
        return;
    cmd_execute->setEnabled(true);
}

void frm_Phase_Correction::execute() {
    const phase_correction_settings settings{input_path_, output_path_,
                                             txt_phase_column->text().toStdString()};
    widget_job_ui ui({this, nullptr, nullptr, nullptr, prg_progress, {this}});
    job_running_ = true;
    const phase_correction_outcome outcome = correct_phases(settings, ui);
    job_running_ = false;
    prg_progress->setValue(0);
    // A failed run keeps its files, so the user can mend the column or the input and run again;
    // a completed one starts over with the input file.
    if (outcome != phase_correction_outcome::completed)
        return;
    set_enabled({cmd_execute, cmd_output_file}, false);
    input_path_.clear();
    output_path_.clear();
}

void frm_Phase_Correction::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [] { window_registry::instance().load<frm_stokes_shift_tools>(); });
}

} // namespace qm
