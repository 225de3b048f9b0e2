#include "text_tools/frm_global_replace.h"

#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/navigation.h"
#include "text_tools/global_replace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace qm {
namespace {

// The window's three labels: the job's counts are Files Processed / Files Remaining, its
// status is Replacements Made.
class replace_window_ui final : public JobUi {
public:
    replace_window_ui(frm_global_replace* w)
        : inner_({w, nullptr, w->lbl_files_processed, w->lbl_files_remaining, w->ProgressBar, {w}}),
          w_(w) {}
    void status(std::string_view text) override {
        w_->lbl_replacements_made->setText(QString::fromUtf8(text.data(), text.size()));
    }
    void counts(std::string_view a, std::string_view b) override { inner_.counts(a, b); }
    void progress_range(long long lo, long long hi) override { inner_.progress_range(lo, hi); }
    void progress_value(long long v) override { inner_.progress_value(v); }
    void progress_to_maximum() override { inner_.progress_to_maximum(); }
    // After each file: the frame, its labels, the bar and the window.
    void repaint() override {
        w_->Frame1->repaint();
        inner_.repaint();
    }
    void busy(bool on) override { inner_.busy(on); }
    void message(message_icon icon, std::string_view title, std::string_view text) override {
        inner_.message(icon, title, text);
    }

private:
    widget_job_ui inner_;
    frm_global_replace* w_;
};

} // namespace

frm_global_replace::frm_global_replace(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_global_replace");
    setWindowTitle("Global Search & Replace");
    build_controls();
    connect(cmd_input, &QPushButton::clicked, this, [this] { choose_files(); });
    connect(txt_search1, &QLineEdit::textChanged, this, [this] { search1_changed(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return_to_menu, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
}

void frm_global_replace::build_controls() {
    cmd_input = named(new QPushButton("&Select Files to Search"), "cmd_input");
    Label1 = named(new QLabel("Create Backups: "), "Label1");
    chk_backups = named(new QCheckBox("Check1"), "chk_backups");
    // The box keeps its given caption, but only its square shows: the label beside it says
    // what it is for.
    chk_backups->setFixedWidth(
        chk_backups->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, chk_backups) + 4);
    chk_backups->setAccessibleName("Create Backups");
    lbl_input_path = new path_label("lbl_input_path");
    frm_replacement1 = named(new QGroupBox("Replacement 1"), "frm_replacement1");
    lbl_search1 = named(new QLabel("Search for:"), "lbl_search1");
    txt_search1 = named(new QLineEdit, "txt_search1");
    lbl_replace1 = named(new QLabel("Replace with:"), "lbl_replace1");
    txt_replace1 = named(new QLineEdit, "txt_replace1");
    frm_replacement2 = named(new QGroupBox("Replacement 2"), "frm_replacement2");
    lbl_search2 = named(new QLabel("Search for:"), "lbl_search2");
    txt_search2 = named(new QLineEdit, "txt_search2");
    lbl_replace2 = named(new QLabel("Replace with:"), "lbl_replace2");
    txt_replace2 = named(new QLineEdit, "txt_replace2");
    cmd_execute = named(new QPushButton("&Execute"), "cmd_execute");
    cmd_return_to_menu = named(new QPushButton("&Return to Main Menu"), "cmd_return_to_menu");
    Frame1 = named(new QGroupBox("Current Status"), "Frame1");
    lbl_files_processed = named(new QLabel("Files Processed = 0"), "lbl_files_processed");
    lbl_files_remaining = named(new QLabel("Files Remaining = 0"), "lbl_files_remaining");
    lbl_replacements_made = named(new QLabel("Replacements Made = 0"), "lbl_replacements_made");
    Label3 = named(new QLabel("File Search and Replace Progress"), "Label3");
    ProgressBar = progress_bar("ProgressBar", 1);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");

    auto pair_box = [](QGroupBox* box, QLabel* l1, QLineEdit* t1, QLabel* l2, QLineEdit* t2) {
        auto* g = new QGridLayout(box);
        g->addWidget(l1, 0, 0);
        g->addWidget(t1, 0, 1);
        g->addWidget(l2, 1, 0);
        g->addWidget(t2, 1, 1);
    };
    pair_box(frm_replacement1, lbl_search1, txt_search1, lbl_replace1, txt_replace1);
    pair_box(frm_replacement2, lbl_search2, txt_search2, lbl_replace2, txt_replace2);

    auto* status = new QVBoxLayout(Frame1);
    status->addWidget(lbl_files_processed);
    status->addWidget(lbl_files_remaining);
    status->addWidget(lbl_replacements_made);
    status->addWidget(Label3);
    auto* bar_row = new QHBoxLayout;
    bar_row->addWidget(Label7);
    bar_row->addWidget(ProgressBar, 1);
    bar_row->addWidget(Label8);
    status->addLayout(bar_row);

    auto* top = new QHBoxLayout;
    top->addWidget(cmd_input);
    top->addWidget(lbl_input_path, 1);
    top->addWidget(Label1);
    top->addWidget(chk_backups);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_execute);
    buttons->addWidget(cmd_return_to_menu);
    auto* column = new QVBoxLayout(scrolling_page(this));
    column->addLayout(top);
    column->addWidget(frm_replacement1);
    column->addWidget(frm_replacement2);
    column->addLayout(buttons);
    column->addWidget(Frame1);

    set_enabled({frm_replacement1, lbl_search1, txt_search1, lbl_replace1, txt_replace1,
                 frm_replacement2, lbl_search2, txt_search2, lbl_replace2, txt_replace2,
                 cmd_execute},
                false);
}

void frm_global_replace::choose_files() {
    std::vector<std::string> chosen =
        services().dialogs->open_files(this, file_button_dialog(cmd_input, file_purpose::read));
    // A cancelled dialog keeps the earlier selection, if any.
    if (chosen.empty())
        return;
    files_ = std::move(chosen);
    lbl_input_path->set_paths(files_);
    const auto count = static_cast<int>(files_.size());
    lbl_files_remaining->setText(QStringLiteral("Files Remaining = %1").arg(count));
    ProgressBar->setRange(0, count);
    ProgressBar->setValue(0);
    set_enabled({frm_replacement1, lbl_search1, lbl_replace1, txt_search1, txt_replace1}, true);
}

void frm_global_replace::search1_changed() {
    set_enabled(
        {frm_replacement2, lbl_search2, lbl_replace2, txt_search2, txt_replace2, cmd_execute},
        !txt_search1->text().isEmpty());
}

void frm_global_replace::execute() {
    replace_settings s;
    s.files = files_;
    s.pair1 = {txt_search1->text().toStdString(), txt_replace1->text().toStdString()};
    s.pair2 = {txt_search2->text().toStdString(), txt_replace2->text().toStdString()};
    s.backups = chk_backups->isChecked();
    job_running_ = true;
    {
        replace_window_ui ui(this);
        replace_in_files(s, ui);
    }
    job_running_ = false;
}

void frm_global_replace::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_, [] { show_main_menu(); });
}

} // namespace qm
