#include "units/frm_time_conversion.h"

#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/navigation.h"
#include "shell/pictures.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm {
namespace {

// The two pictures frame the file buttons: a clock and an hourglass.
QLabel* picture(const char* name, const QPixmap& drawing) {
    auto* box = named(new QLabel, name);
    box->setPixmap(drawing);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

} // namespace

frm_time_conversion::frm_time_conversion(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_time_conversion");
    setWindowTitle("Time Conversion Tool");

    cmd_input = named(new QPushButton("Select &Input File"), "cmd_input");
    cmd_output = named(new QPushButton("Select &Output File"), "cmd_output");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    frm_output = named(new QGroupBox("Output Time Format"), "frm_output");
    opt_seconds = named(new QRadioButton("Seconds"), "opt_seconds");
    opt_minutes = named(new QRadioButton("Minutes"), "opt_minutes");
    opt_hours = named(new QRadioButton("Hours"), "opt_hours");
    opt_days = named(new QRadioButton("Days"), "opt_days");
    cmd_execute = named(new QPushButton("&Execute"), "cmd_execute");
    cmd_main_menu = named(new QPushButton("Return to &Main Menu"), "cmd_main_menu");
    Label3 = named(new QLabel("File Access Progress"), "Label3");
    progress_bar = qm::progress_bar("progress_bar", 100);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");
    Picture1 = picture("Picture1", time_picture(time_drawing::clock));
    Picture2 = picture("Picture2", time_picture(time_drawing::hourglass));

    auto* options = new QHBoxLayout(frm_output);
    for (QRadioButton* option : {opt_seconds, opt_minutes, opt_hours, opt_days}) {
        options->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this] { cmd_execute->setEnabled(true); });
    }
    auto* bar_row = new QHBoxLayout;
    bar_row->addWidget(Label7);
    bar_row->addWidget(progress_bar, 1);
    bar_row->addWidget(Label8);
    auto* files = new QGridLayout;
    files->addWidget(cmd_input, 0, 0);
    files->addWidget(lbl_input_path, 0, 1);
    files->addWidget(cmd_output, 1, 0);
    files->addWidget(lbl_output_path, 1, 1);
    files->setColumnStretch(1, 1);
    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(Picture1, 0, 0, 2, 1);
    grid->addLayout(files, 0, 1, 2, 1);
    grid->addWidget(Picture2, 0, 2, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(frm_output, 2, 0, 1, 3);
    grid->addWidget(cmd_execute, 3, 0, 1, 2);
    grid->addWidget(cmd_main_menu, 3, 2);
    grid->addWidget(Label3, 4, 0, 1, 3);
    grid->addLayout(bar_row, 5, 0, 1, 3);

    set_enabled(
        {cmd_output, frm_output, opt_seconds, opt_minutes, opt_hours, opt_days, cmd_execute},
        false);

    connect(cmd_input, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_main_menu, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
}

time_unit frm_time_conversion::chosen_unit() const {
    if (opt_seconds->isChecked())
        return time_unit::seconds;
    if (opt_minutes->isChecked())
        return time_unit::minutes;
    if (opt_hours->isChecked())
        return time_unit::hours;
    return time_unit::days;
}

void frm_time_conversion::choose_input() {
    // A cancelled dialog changes nothing.
    if (!choose_file(cmd_input, file_purpose::read, input_path_, lbl_input_path))
        return;
    cmd_output->setEnabled(true);
}

void frm_time_conversion::choose_output() {
    if (!choose_file(cmd_output, file_purpose::overwrite, output_path_, lbl_output_path))
        return;
    set_enabled({frm_output, opt_seconds, opt_minutes, opt_hours, opt_days}, true);
}

void frm_time_conversion::execute() {
    widget_job_ui ui({this, nullptr, nullptr, nullptr, progress_bar, {this}});
    // The controls keep their state after the run, so another one can start at once.
    job_running_ = true;
    convert_time_file(input_path_, output_path_, chosen_unit(), ui);
    job_running_ = false;
}

void frm_time_conversion::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_, [] { show_main_menu(); });
}

} // namespace qm
