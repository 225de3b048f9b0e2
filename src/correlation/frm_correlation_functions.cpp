#include "correlation/frm_correlation_functions.h"

#include "correlation/correlation_functions_module.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/frm_chart.h"
#include "shell/navigation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {
namespace {

QLabel* wrapped_label(const char* text, const char* name) {
    auto* label = named(new QLabel(QString::fromLatin1(text)), name);
    label->setWordWrap(true);
    return label;
}

// The formulas are typeset as rich text, centred under the label that introduces them.
QLabel* formula(const char* html, const char* name) {
    auto* label = named(new QLabel(QString::fromUtf8(html)), name);
    label->setTextFormat(Qt::RichText);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    font.setItalic(true);
    label->setFont(font);
    label->setMargin(4);
    return label;
}

} // namespace

frm_correlation_functions::frm_correlation_functions(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_correlation_functions");
    setWindowTitle("Correlation Function Calculation");
    build_controls();

    connect(cmd_input1, &QPushButton::clicked, this, [this] {
        if (choose_file(cmd_input1, file_purpose::read, input1_, lbl_input1_path))
            cmd_input2->setEnabled(true);
    });
    connect(cmd_input2, &QPushButton::clicked, this, [this] {
        if (choose_file(cmd_input2, file_purpose::read, input2_, lbl_input2_path))
            cmd_output->setEnabled(true);
    });
    connect(cmd_output, &QPushButton::clicked, this, [this] {
        if (choose_file(cmd_output, file_purpose::overwrite, output_, lbl_output_path))
            cmd_execute->setEnabled(true);
    });
    // The two scalings exclude each other: setting one clears the other.
    connect(chk_adjust_by_msd, &QCheckBox::toggled, this, [this](bool set) {
        if (set)
            chk_norm_to_one->setChecked(false);
    });
    connect(chk_norm_to_one, &QCheckBox::toggled, this, [this](bool set) {
        if (set)
            chk_adjust_by_msd->setChecked(false);
    });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
}

void frm_correlation_functions::build_controls() {
    frm_title = named(new QLabel("Correlation Function Calculation"), "frm_title");
    QFont title_font = frm_title->font();
    title_font.setPointSizeF(title_font.pointSizeF() * 1.5);
    title_font.setBold(true);
    frm_title->setFont(title_font);
    frm_title->setAlignment(Qt::AlignCenter);

    Label1 = wrapped_label(
        "This module calculates the correlation function of two sets of discrete data of the "
        "same size described as a list of double precision floats in the two files selected "
        "below. The correlation function calculated is represented mathematically as:",
        "Label1");
    Image1 = formula("C(&tau;) = &lang; x<sub>2</sub>(t) &middot; x<sub>1</sub>(t + &tau;) "
                     "&rang;<sub>t</sub>",
                     "Image1");
    Label3 = wrapped_label(
        "There are several methods for calculating discrete correlation functions that make use "
        "of fourier transforms etc. At the moment the summation method is the only one supported "
        "by this module:",
        "Label3");
    Image3 = formula("C(&tau;) = &sum;<sub>i = 0 &hellip; L</sub> x<sub>2</sub>(i) &middot; "
                     "x<sub>1</sub>(i + &tau;)",
                     "Image3");
    Label2 = wrapped_label("If normalisation is requested then the data is scaled by 1/Mean "
                           "Square deviation and so is represented as follows:",
                           "Label2");
    Image2 = formula("C(&tau;) = <sup>1</sup>&frasl;<sub>D</sub> &sum;<sub>i = 0 &hellip; "
                     "L</sub> x<sub>2</sub>(i) &middot; x<sub>1</sub>(i + &tau;), &nbsp; "
                     "D = <sup>1</sup>&frasl;<sub>L</sub> &sum; x<sub>1</sub>(i)<sup>2</sup> "
                     "&minus; <sup>1</sup>&frasl;<sub>L<sup>2</sup></sub> (&sum; "
                     "x<sub>1</sub>(i))<sup>2</sup>",
                     "Image2");
    Label5 = wrapped_label("(Note, this really only makes sense if file 1 = file 2. E.g we are "
                           "calculating an autocorrelation.)",
                           "Label5");

    cmd_input1 = named(new QPushButton("&1) Select Input File 1"), "cmd_input1");
    cmd_input2 = named(new QPushButton("&2) Select Input File 2"), "cmd_input2");
    cmd_output = named(new QPushButton("&3) Select Output File"), "cmd_output");
    cmd_execute = named(new QPushButton("E&xecute"), "cmd_execute");
    set_enabled({cmd_input2, cmd_output, cmd_execute}, false);
    lbl_input1_path = new path_label("lbl_input1_path");
    lbl_input2_path = new path_label("lbl_input2_path");
    lbl_output_path = new path_label("lbl_output_path");
    chk_adjust_by_mean =
        named(new QCheckBox("Modify Data to Represent Fluctuations about the Mean?"),
              "chk_adjust_by_mean");
    chk_adjust_by_msd =
        named(new QCheckBox("Normalise Data Using Mean Square Deviation?"), "chk_adjust_by_msd");
    chk_norm_to_one = named(new QCheckBox("Normalise Data to Unity?"), "chk_norm_to_one");
    lbl_method = named(new QLabel("&Method:"), "lbl_method");
    cbo_method = named(new QComboBox, "cbo_method");
    cbo_method->addItems({"Exact order", "FFT"}); // in the order of correlation_method
    lbl_method->setBuddy(cbo_method);

    Frame1 = named(new QGroupBox("Current Status"), "Frame1");
    Label4 = named(new QLabel("Progress"), "Label4");
    ProgressBar = progress_bar("ProgressBar", 100);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");
    auto* status = new QGridLayout(Frame1);
    status->addWidget(Label4, 0, 0);
    status->addWidget(ProgressBar, 0, 1);
    auto* bar_ends = new QHBoxLayout;
    bar_ends->addWidget(Label7);
    bar_ends->addStretch();
    bar_ends->addWidget(Label8);
    status->addLayout(bar_ends, 1, 1);
    status->setColumnStretch(1, 1);

    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    auto* files = new QGridLayout;
    const std::pair<QPushButton*, path_label*> file_rows[] = {{cmd_input1, lbl_input1_path},
                                                              {cmd_input2, lbl_input2_path},
                                                              {cmd_output, lbl_output_path}};
    for (int r = 0; r < 3; ++r) {
        files->addWidget(file_rows[r].first, r, 0);
        files->addWidget(file_rows[r].second, r, 1);
    }
    files->addWidget(cmd_execute, 3, 0);
    files->setColumnStretch(1, 1);
    auto* options = new QVBoxLayout;
    for (QCheckBox* box : {chk_adjust_by_mean, chk_adjust_by_msd, chk_norm_to_one})
        options->addWidget(box);
    auto* method = new QHBoxLayout;
    method->addWidget(lbl_method);
    method->addWidget(cbo_method, 1);
    options->addLayout(method);
    options->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addLayout(files, 1);
    controls->addSpacing(16);
    controls->addLayout(options);

    auto* column = new QVBoxLayout(scrolling_page(this));
    column->addWidget(frm_title);
    for (QLabel* text : {Label1, Image1, Label3, Image3, Label2, Image2, Label5})
        column->addWidget(text);
    column->addSpacing(8);
    column->addLayout(controls);
    column->addWidget(Frame1);
    column->addWidget(cmd_return, 0, Qt::AlignRight);
    setMinimumWidth(600);
}

void frm_correlation_functions::execute() {
    correlation_settings settings;
    settings.input1 = input1_;
    settings.input2 = input2_;
    settings.output = output_;
    settings.adjust_by_mean = chk_adjust_by_mean->isChecked();
    settings.adjust_by_msd = chk_adjust_by_msd->isChecked();
    settings.norm_to_one = chk_norm_to_one->isChecked();
    settings.method = static_cast<correlation_method>(cbo_method->currentIndex());
    widget_job_ui ui({this, nullptr, nullptr, nullptr, ProgressBar, {this}});
    job_running_ = true;
    chart_data chart;
    const correlation_outcome outcome = run_correlation(settings, ui, &chart);
    job_running_ = false;
    // Complete, stopped or failed: the run ends by unloading the window. The chart of a
    // completed run stays on screen in a window of its own.
    close();
    if (outcome == correlation_outcome::completed)
        show_charts(this, {chart});
}

void frm_correlation_functions::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_, [] { show_main_menu(); });
}

} // namespace qm
