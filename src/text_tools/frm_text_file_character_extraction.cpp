#include "text_tools/frm_text_file_character_extraction.h"

#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/navigation.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qm {
namespace {

// The preview keeps its CR LF line breaks; the text box shows each pair as one break and a
// carriage return left inside a line (the end of a CR LF line) as a visible mark.
QString preview_display(const std::string& preview) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(preview.size()));
    for (std::size_t i = 0; i < preview.size(); ++i) {
        const char c = preview[i];
        if (c == '\r' && i + 1 < preview.size() && preview[i + 1] == '\n') {
            shown += QLatin1Char('\n');
            ++i;
        } else if (c == '\r') {
            shown += QChar(0x240D);
        } else {
            shown += QChar::fromLatin1(c);
        }
    }
    return shown;
}

// Offset in the preview text as the user sees it counted: every line break is two characters.
int preview_offset(const QTextDocument* document, int position) {
    return position + document->findBlock(position).blockNumber();
}

} // namespace

frm_text_file_character_extraction::frm_text_file_character_extraction(QWidget* parent)
    : QWidget(parent) {
    setObjectName("frm_text_file_character_extraction");
    setWindowTitle("Text File Character Extraction");
    build_controls();
    connect_events();
}

void frm_text_file_character_extraction::build_controls() {
    Label1 =
        named(new QLabel("This tool allows ranges of characters to be extracted from text files"),
              "Label1");
    Label5 = named(new QLabel("Stage 1"), "Label5");
    Label4 = named(new QLabel("Stage 2"), "Label4");
    cmd_input = named(new QPushButton("Select &Input File"), "cmd_input");
    cmd_output = named(new QPushButton("Select &Output File"), "cmd_output");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    cmd_execute = named(new QPushButton("&Execute"), "cmd_execute");
    cmd_reset = named(new QPushButton("&Reset Form"), "cmd_reset");
    cmd_return = named(new QPushButton("Return to &Main Menu"), "cmd_return");
    Label2 = named(new QLabel("File Preview"), "Label2");
    txt_preview = named(new QPlainTextEdit, "txt_preview");
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    txt_preview->setFont(courier);
    txt_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    lbl_Characters_Selected =
        named(new QLabel("Characters Selected = 0"), "lbl_Characters_Selected");
    lbl_line_position = named(new QLabel("Character Position = 0"), "lbl_line_position");
    Label6 = named(new QLabel("Current Status:"), "Label6");
    txt_status = named(new QLineEdit, "txt_status");
    Label3 = named(new QLabel("File Access Progress"), "Label3");
    progress_pre_scan = progress_bar("progress_pre_scan", 100);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");
    frame_extract = named(new QGroupBox("Enter Text Ranges to Extract"), "frame_extract");

    QLabel** labels[] = {&lbl_range1, &lbl_range2, &lbl_range3, &lbl_range4, &lbl_range5};
    QLabel** start_labels[] = {&lbl_range1_start, &lbl_range2_start, &lbl_range3_start,
                               &lbl_range4_start, &lbl_range5_start};
    QLabel** finish_labels[] = {&lbl_range1_finish, &lbl_range2_finish, &lbl_range3_finish,
                                &lbl_range4_finish, &lbl_range5_finish};
    QLineEdit** starts[] = {&txt_range1_start, &txt_range2_start, &txt_range3_start,
                            &txt_range4_start, &txt_range5_start};
    QLineEdit** finishes[] = {&txt_range1_finish, &txt_range2_finish, &txt_range3_finish,
                              &txt_range4_finish, &txt_range5_finish};
    auto* ranges = new QGridLayout(frame_extract);
    for (std::size_t n = 0; n < range_count; ++n) {
        const std::string number = std::to_string(n + 1);
        const std::string base = "range" + number;
        *labels[n] = named(new QLabel(QString::fromStdString("Range " + number + ":")),
                           ("lbl_" + base).c_str());
        *start_labels[n] = named(new QLabel("Start"), ("lbl_" + base + "_start").c_str());
        *finish_labels[n] = named(new QLabel("Finish"), ("lbl_" + base + "_finish").c_str());
        *starts[n] = named(new QLineEdit, ("txt_" + base + "_start").c_str());
        *finishes[n] = named(new QLineEdit, ("txt_" + base + "_finish").c_str());
        rows_[n] = {*labels[n], *start_labels[n], *finish_labels[n], *starts[n], *finishes[n]};
        const int row = static_cast<int>(n);
        ranges->addWidget(rows_[n].label, row, 0);
        ranges->addWidget(rows_[n].start_label, row, 1);
        ranges->addWidget(rows_[n].start, row, 2);
        ranges->addWidget(rows_[n].finish_label, row, 3);
        ranges->addWidget(rows_[n].finish, row, 4);
    }

    auto* bar_ends = new QHBoxLayout;
    bar_ends->addWidget(Label7);
    bar_ends->addStretch();
    bar_ends->addWidget(Label8);
    auto* preview_labels = new QHBoxLayout;
    preview_labels->addWidget(lbl_Characters_Selected);
    preview_labels->addStretch();
    preview_labels->addWidget(lbl_line_position);

    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(Label1, 0, 0, 1, 4);
    grid->addWidget(Label5, 1, 0);
    grid->addWidget(cmd_input, 1, 1);
    grid->addWidget(lbl_input_path, 1, 2);
    grid->addWidget(cmd_reset, 1, 3);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(cmd_output, 2, 1);
    grid->addWidget(lbl_output_path, 2, 2);
    grid->addWidget(cmd_return, 2, 3);
    grid->addWidget(Label2, 3, 0, 1, 4);
    grid->addWidget(txt_preview, 4, 0, 1, 4);
    grid->addLayout(preview_labels, 5, 0, 1, 4);
    grid->addWidget(Label6, 6, 0);
    grid->addWidget(txt_status, 6, 1, 1, 3);
    grid->addWidget(Label3, 7, 0);
    grid->addWidget(progress_pre_scan, 7, 1, 1, 3);
    grid->addLayout(bar_ends, 8, 1, 1, 3);
    grid->addWidget(frame_extract, 9, 0, 1, 4);
    grid->addWidget(cmd_execute, 10, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    resize(640, 620);

    // A fresh window: range 1's labels show in an enabled frame, everything else waits.
    set_enabled({cmd_output, cmd_execute}, false);
    for (std::size_t n = 0; n < range_count; ++n) {
        set_enabled({rows_[n].start, rows_[n].finish}, false);
        if (n > 0)
            set_enabled({rows_[n].label, rows_[n].start_label, rows_[n].finish_label}, false);
    }
}

void frm_text_file_character_extraction::connect_events() {
    connect(cmd_input, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_reset, &QPushButton::clicked, this, [this] { reset_form(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
    // Ranges 1 to 4 open the next range; range 5 has nothing after it.
    for (std::size_t n = 0; n + 1 < range_count; ++n) {
        for (QLineEdit* box : {rows_[n].start, rows_[n].finish})
            connect(box, &QLineEdit::textChanged, this, [this, n] { range_changed(n); });
    }
    txt_preview->installEventFilter(this);
    txt_preview->viewport()->installEventFilter(this);
}

bool frm_text_file_character_extraction::eventFilter(QObject* watched, QEvent* event) {
    const bool key_up = watched == txt_preview && event->type() == QEvent::KeyRelease;
    const bool mouse_up =
        watched == txt_preview->viewport() && event->type() == QEvent::MouseButtonRelease;
    // A release comes after the press that moved the caret or the selection: report them now.
    if (key_up || mouse_up)
        show_preview_position();
    return QWidget::eventFilter(watched, event);
}

void frm_text_file_character_extraction::show_preview_position() {
    const QTextCursor cursor = txt_preview->textCursor();
    const QTextDocument* document = txt_preview->document();
    const int selected = preview_offset(document, cursor.selectionEnd()) -
                         preview_offset(document, cursor.selectionStart());
    lbl_Characters_Selected->setText(QStringLiteral("Characters Selected = %1").arg(selected));
    lbl_line_position->setText(
        QStringLiteral("Character Position = %1").arg(preview_offset(document, cursor.position())));
}

void frm_text_file_character_extraction::choose_input() {
    // Cancelling keeps the path chosen before, if any.
    choose_file(cmd_input, file_purpose::read, input_path_, lbl_input_path);
    cmd_output->setEnabled(!input_path_.empty());
}

void frm_text_file_character_extraction::choose_output() {
    if (!choose_file(cmd_output, file_purpose::overwrite, output_path_, lbl_output_path))
        return; // nothing chosen: no scan, the window stays as it was
    set_enabled({frame_extract, cmd_execute}, true);

    widget_job_ui ui({this, txt_status, nullptr, nullptr, progress_pre_scan, {this}});
    job_running_ = true;
    const std::optional<prescan_result> scan = run_prescan(input_path_, ui);
    job_running_ = false;
    if (!scan) {
        set_enabled({cmd_execute, frame_extract}, false);
        for (std::size_t n = 0; n < range_count; ++n)
            set_range_enabled(n, false);
        return;
    }
    max_line_length_ = scan->max_line_length;
    min_value_ = scan->min_value;
    txt_preview->setPlainText(preview_display(scan->preview));
    set_range_enabled(0, true);
    txt_range1_start->setText(QString::number(min_value_));
    txt_range1_finish->setText(QString::number(max_line_length_));
    // A text set to what it already holds raises no Change event (a scan after Reset proposes
    // the same range 1 again), so range 2 is opened here, as those events would.
    range_changed(0);
}

void frm_text_file_character_extraction::set_range_enabled(std::size_t n, bool enabled) {
    const range_row& r = rows_[n];
    set_enabled({r.label, r.start_label, r.finish_label, r.start, r.finish}, enabled);
}

void frm_text_file_character_extraction::range_changed(std::size_t n) {
    bool filled = true;
    for (std::size_t k = 0; k <= n; ++k)
        filled = filled && !rows_[k].start->text().isEmpty() && !rows_[k].finish->text().isEmpty();
    if (filled) {
        set_range_enabled(n + 1, true);
        return;
    }
    // Disabling keeps the texts: a range takes part by its Start text alone.
    for (std::size_t k = n + 1; k < range_count; ++k)
        set_range_enabled(k, false);
}

void frm_text_file_character_extraction::execute() {
    range_entry texts;
    for (std::size_t n = 0; n < range_count; ++n)
        texts[n] = {rows_[n].start->text().toStdString(), rows_[n].finish->text().toStdString()};
    widget_job_ui ui({this, txt_status, nullptr, nullptr, progress_pre_scan, {this}});
    job_running_ = true;
    const extraction_outcome outcome =
        run_character_extraction(input_path_, output_path_, texts, max_line_length_, ui);
    job_running_ = false;
    // A completed run and a failed one both leave the window ready for a new input file.
    if (outcome != extraction_outcome::invalid_ranges)
        reset_after_run();
}

void frm_text_file_character_extraction::reset_form() {
    set_enabled({cmd_output, cmd_execute, frame_extract}, false);
    for (std::size_t n = 0; n < range_count; ++n)
        set_range_enabled(n, false);
}

void frm_text_file_character_extraction::reset_after_run() {
    for (const range_row& r : rows_) {
        r.start->clear();
        r.finish->clear();
    }
    reset_form();
}

void frm_text_file_character_extraction::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_, [] { show_main_menu(); });
}

} // namespace qm
