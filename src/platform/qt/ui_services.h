// Message boxes and file dialogs, reached through interfaces so that window tests can script
// them. services() hands out the Qt implementations unless a test has swapped in its doubles.
#pragma once

#include "platform/job_ui.h"

#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;
class QFileDialog;
class QPushButton;
class QWidget;

namespace qm {

class message_boxes {
public:
    virtual ~message_boxes() = default;
    virtual void show(QWidget* parent, message_icon icon, std::string_view title,
                      std::string_view text) = 0;
    // The system beep of a rejected key.
    virtual void beep() = 0;
};

// What a chosen file is for; it decides the kind of dialog.
enum class file_purpose {
    read,      // an existing file: an open dialog that takes no other
    overwrite, // a file the tool writes over: a save dialog that asks before replacing one
    keep,      // a name the tool never writes over: a save dialog that does not ask
};

struct file_dialog_options {
    // "Description|pattern|" pairs, as every tool's dialog is set up.
    std::string filter = "All Files (*.*)|*.*|";
    int filter_index = 1;
    std::string title; // what is chosen: "Select Output File"
    file_purpose purpose = file_purpose::read;
};

// What the open-file dialog returns: the full path and the bare file name (the file title).
struct file_choice {
    bool ok = false; // false when cancelled or failed
    std::string path;
    std::string title;
};

class file_dialogs {
public:
    virtual ~file_dialogs() = default;
    virtual file_choice open_file(QWidget* parent, const file_dialog_options& options) = 0;
    // Several existing files of one folder (full paths); empty when cancelled.
    virtual std::vector<std::string> open_files(QWidget* parent,
                                                const file_dialog_options& options) = 0;
};

struct ui_services {
    message_boxes* messages;
    file_dialogs* dialogs;
};

ui_services& services();

// The Qt implementations.
class qt_message_boxes final : public message_boxes {
public:
    void show(QWidget* parent, message_icon icon, std::string_view title,
              std::string_view text) override;
    void beep() override;
};

// Every dialog starts in the folder its tool's last one was left in, in this run of the program
// or an earlier one; a tool without one starts where the last dialog of any tool was left.
class qt_file_dialogs final : public file_dialogs {
public:
    file_choice open_file(QWidget* parent, const file_dialog_options& options) override;
    std::vector<std::string> open_files(QWidget* parent,
                                        const file_dialog_options& options) override;

    // Sets the dialog up for `options` (one file) before it is shown.
    void prepare(QFileDialog& dialog, const file_dialog_options& options) const;
    // The folder of a chosen file, where the next dialog starts (a typed path may lead
    // elsewhere than the folder the dialog shows).
    void remember_folder_of(const QString& chosen);
    // The same, and the tool `parent` belongs to keeps it for the next runs.
    void remember_folder_of(const QWidget* parent, const QString& chosen);

private:
    QString folder_; // empty: the working folder
};

// Converts "All Files (*.*)|*.*|" into Qt's "All Files (*)" form (";;" between filters).
std::string qt_filter(std::string_view pipe_filter);

// Test doubles: every box is recorded; dialogs answer from a queue (cancelled when empty).
class scripted_message_boxes final : public message_boxes {
public:
    struct shown_box {
        message_icon icon;
        std::string title;
        std::string text;
    };
    void show(QWidget* parent, message_icon icon, std::string_view title,
              std::string_view text) override;
    void beep() override { ++beeps; }

    std::vector<shown_box> shown;
    int beeps = 0;
    // Runs while a box is "on screen": lets a test act during a job's message.
    std::function<void(const shown_box&)> while_shown;
};

class scripted_file_dialogs final : public file_dialogs {
public:
    file_choice open_file(QWidget* parent, const file_dialog_options& options) override;
    void queue_path(const std::string& full_path);
    void queue_cancel();
    std::vector<std::string> open_files(QWidget* parent,
                                        const file_dialog_options& options) override;
    // The next multiple selection (an empty list is a cancel).
    void queue_paths(const std::vector<std::string>& full_paths);

    std::deque<file_choice> answers;
    std::deque<std::vector<std::string>> selections;
    std::vector<file_dialog_options> asked; // every dialog shown, in order
};

class path_label;

// A file button's dialog: titled by the button's caption (without its access key and step
// number) and of the kind `purpose` asks for.
file_dialog_options file_button_dialog(const QAbstractButton* button, file_purpose purpose);
file_choice ask_for_file(QPushButton* button, file_purpose purpose);

// The same, keeping the choice: its full path goes to `path`, and is shown in `shown` when
// given, and the result is true; a cancelled dialog changes nothing.
bool choose_file(QPushButton* button, file_purpose purpose, std::string& path,
                 path_label* shown = nullptr);

// Swaps the doubles in for the life of the guard.
class scoped_test_services {
public:
    scoped_test_services();
    ~scoped_test_services();
    scoped_test_services(const scoped_test_services&) = delete;
    scoped_test_services& operator=(const scoped_test_services&) = delete;

    scripted_message_boxes messages;
    scripted_file_dialogs dialogs;

private:
    ui_services saved_;
};

} // namespace qm
