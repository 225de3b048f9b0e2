#include "platform/qt/ui_services.h"

#include "platform/qt/path_label.h"
#include "platform/qt/remembered_settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <filesystem>

namespace qm {

ui_services& services() {
    static qt_message_boxes qt_messages;
    static qt_file_dialogs qt_dialogs;
    static ui_services current{&qt_messages, &qt_dialogs};
    return current;
}

namespace {

QString to_qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Inside the program a break in a message is LF CR; on screen it is one break.
QString shown_text(std::string_view text) {
    QString out = to_qt(text);
    out.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

QMessageBox::Icon qt_icon(message_icon icon) {
    switch (icon) {
    case message_icon::information:
        return QMessageBox::Information;
    case message_icon::exclamation:
        return QMessageBox::Warning;
    case message_icon::critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void qt_message_boxes::show(QWidget* parent, message_icon icon, std::string_view title,
                            std::string_view text) {
    QMessageBox box(qt_icon(icon), to_qt(title), shown_text(text), QMessageBox::Ok, parent);
    // A box sized to a short text cuts its own title ("Conve... pleted") in the window frame:
    // wide enough for the title and the frame's buttons beside it.
    QFont frame_font = box.font();
    frame_font.setBold(true);
    constexpr int frame_buttons = 120;
    const int title_room = QFontMetrics(frame_font).horizontalAdvance(to_qt(title)) + frame_buttons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(title_room, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

void qt_message_boxes::beep() {
    QApplication::beep();
}

std::string qt_filter(std::string_view pipe_filter) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : pipe_filter) {
        if (c == '|') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        parts.push_back(current);

    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        const auto paren = description.find(" (");
        if (paren != std::string::npos)
            description.erase(paren);
        // "*.*" means every file, with or without a dot in its name; Qt separates by blanks.
        const std::string& listed = parts[i + 1];
        std::string patterns;
        for (std::size_t c = 0; c < listed.size(); ++c) {
            if (listed.compare(c, 3, "*.*") == 0) {
                patterns += '*';
                c += 2;
            } else {
                patterns += listed[c] == ';' ? ' ' : listed[c];
            }
        }
        if (!out.empty())
            out.append(";;");
        out.append(description).append(" (").append(patterns).append(")");
    }
    return out;
}

void qt_file_dialogs::prepare(QFileDialog& dialog, const file_dialog_options& options) const {
    dialog.setWindowTitle(QString::fromStdString(options.title));
    // The tool's own last folder, from this run or an earlier one; else the last of any tool.
    const QWidget* tool = dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
    const QString tool_folder = remembered_folder(tool);
    if (!tool_folder.isEmpty())
        dialog.setDirectory(tool_folder);
    else if (!folder_.isEmpty())
        dialog.setDirectory(folder_);
    switch (options.purpose) {
    case file_purpose::read:
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case file_purpose::overwrite:
    case file_purpose::keep:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, options.purpose == file_purpose::keep);
        break;
    }
    const QStringList filters = QString::fromStdString(qt_filter(options.filter)).split(";;");
    dialog.setNameFilters(filters);
    if (options.filter_index >= 1 && options.filter_index <= filters.size())
        dialog.selectNameFilter(filters[options.filter_index - 1]);
}

void qt_file_dialogs::remember_folder_of(const QString& chosen) {
    folder_ = QFileInfo(chosen).absolutePath();
}

void qt_file_dialogs::remember_folder_of(const QWidget* parent, const QString& chosen) {
    remember_folder_of(chosen);
    if (parent != nullptr)
        remember_folder(parent->window(), folder_);
}

file_choice qt_file_dialogs::open_file(QWidget* parent, const file_dialog_options& options) {
    QFileDialog dialog(parent);
    prepare(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    remember_folder_of(parent, path);
    return {true, path.toStdString(), QFileInfo(path).fileName().toStdString()};
}

std::vector<std::string> qt_file_dialogs::open_files(QWidget* parent,
                                                     const file_dialog_options& options) {
    QFileDialog dialog(parent);
    prepare(dialog, options);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return paths;
    remember_folder_of(parent, dialog.selectedFiles().front());
    for (const QString& path : dialog.selectedFiles())
        paths.push_back(path.toStdString());
    return paths;
}

void scripted_message_boxes::show(QWidget*, message_icon icon, std::string_view title,
                                  std::string_view text) {
    shown.push_back({icon, std::string(title), std::string(text)});
    if (while_shown)
        while_shown(shown.back());
}

file_choice scripted_file_dialogs::open_file(QWidget*, const file_dialog_options& options) {
    asked.push_back(options);
    if (answers.empty())
        return {};
    file_choice answer = answers.front();
    answers.pop_front();
    return answer;
}

void scripted_file_dialogs::queue_path(const std::string& full_path) {
    answers.push_back({true, full_path, std::filesystem::path(full_path).filename().string()});
}

void scripted_file_dialogs::queue_cancel() {
    answers.push_back({});
}

std::vector<std::string> scripted_file_dialogs::open_files(QWidget*,
                                                           const file_dialog_options& options) {
    asked.push_back(options);
    if (selections.empty())
        return {};
    std::vector<std::string> answer = selections.front();
    selections.pop_front();
    return answer;
}

void scripted_file_dialogs::queue_paths(const std::vector<std::string>& full_paths) {
    selections.push_back(full_paths);
}

scoped_test_services::scoped_test_services() : saved_(services()) {
    services() = {&messages, &dialogs};
}

scoped_test_services::~scoped_test_services() {
    services() = saved_;
}

file_dialog_options file_button_dialog(const QAbstractButton* button, file_purpose purpose) {
    QString title = button->text();
    title.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    title.remove(QRegularExpression(QStringLiteral("^\\d+\\) ")));
    title = title.simplified();
    file_dialog_options options;
    options.title = title.toStdString();
    options.purpose = purpose;
    return options;
}

file_choice ask_for_file(QPushButton* button, file_purpose purpose) {
    return services().dialogs->open_file(button->window(), file_button_dialog(button, purpose));
}

bool choose_file(QPushButton* button, file_purpose purpose, std::string& path, path_label* shown) {
    const file_choice choice = ask_for_file(button, purpose);
    if (!choice.ok)
        return false;
    path = choice.path;
    if (shown != nullptr)
        shown->set_path(path);
    return true;
}

} // namespace qm
