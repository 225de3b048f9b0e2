#include "text_tools/frm_text_line_extraction.h"

#include "platform/qt/key_filter.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "platform/val.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/navigation.h"
#include "text_tools/line_extraction.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace qm {

frm_text_line_extraction::frm_text_line_extraction(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_text_line_extraction");
    setWindowTitle("Text File Line Extraction Utility");

    cmd_Input = named(new QPushButton("Select &Input File"), "cmd_Input");
    cmd_Output = named(new QPushButton("Select &Output File"), "cmd_Output");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lbl_Start_Line = named(new QLabel("Enter Starting Line:"), "lbl_Start_Line");
    txt_Start_Line = named(new QLineEdit("1"), "txt_Start_Line");
    lbl_frequency = named(new QLabel("Enter Extraction Frequency (in Lines):"), "lbl_frequency");
    txt_Frequency = named(new QLineEdit("4"), "txt_Frequency");
    cmd_Execute = named(new QPushButton("E&xecute"), "cmd_Execute");
    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");
    cmd_Output->setEnabled(false);
    cmd_Execute->setEnabled(false);

    // Typed keys go through the key filter (which beeps); the validator keeps a pasted text
    // to digits as well.
    filter_typed_keys({txt_Start_Line, txt_Frequency}, accepts_line_number_key);
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* box : {txt_Start_Line, txt_Frequency}) {
        box->setValidator(new QRegularExpressionValidator(digits, box));
        box->setMaximumWidth(120);
        connect(box, &QLineEdit::textChanged, this, [this] { update_execute(); });
    }

    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(cmd_Input, 0, 0);
    grid->addWidget(lbl_input_path, 0, 1);
    grid->addWidget(cmd_Output, 1, 0);
    grid->addWidget(lbl_output_path, 1, 1);
    grid->addWidget(lbl_Start_Line, 2, 0);
    // Aligned, so the narrow boxes never narrow the column of the paths shown above.
    grid->addWidget(txt_Start_Line, 2, 1, Qt::AlignLeft);
    grid->addWidget(lbl_frequency, 3, 0);
    grid->addWidget(txt_Frequency, 3, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_Execute);
    buttons->addWidget(cmd_return);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(cmd_Input, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_Output, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_Execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

void frm_text_line_extraction::choose_input() {
    // A cancelled dialog changes nothing: the old program went on with an empty path.
    if (!choose_file(cmd_Input, file_purpose::read, input_path_, lbl_input_path))
        return;
    cmd_Output->setEnabled(true);
}

void frm_text_line_extraction::choose_output() {
    if (!choose_file(cmd_Output, file_purpose::overwrite, output_path_, lbl_output_path))
        return;
    output_chosen_ = true;
    update_execute();
}

// Execute needs both files and two usable numbers, whichever came last: typing a number
// before the files are chosen, or choosing the output while a box holds 0, does not enable it.
void frm_text_line_extraction::update_execute() {
    cmd_Execute->setEnabled(output_chosen_ && !job_running_ &&
                            line_numbers_usable(txt_Start_Line->text().toStdString(),
                                                txt_Frequency->text().toStdString()));
}

void frm_text_line_extraction::execute() {
    const line_extraction_settings settings{
        input_path_, output_path_, whole_number_from_text(txt_Start_Line->text().toStdString()),
        whole_number_from_text(txt_Frequency->text().toStdString())};
    widget_job_ui ui({this, nullptr, nullptr, nullptr, nullptr, {this}});
    job_running_ = true;
    const line_extraction_outcome outcome = extract_every_nth_line(settings, ui);
    job_running_ = false;
    if (outcome == line_extraction_outcome::completed) {
        // A new run starts with Select Input File; the input path and the numbers stay.
        output_chosen_ = false;
        cmd_Output->setEnabled(false);
    }
    update_execute();
}

void frm_text_line_extraction::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_Amber_Tools>(this); });
}

} // namespace qm
