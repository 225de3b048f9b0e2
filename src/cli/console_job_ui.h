// The command line's JobUi: status on stderr (a live line with a progress bar on a terminal,
// cut to the terminal's width; otherwise a few lines a second at most), every message box on
// stdout as "<Information|Exclamation|Critical>: <title>: <text>" in one line (on stderr once
// the data itself goes to stdout), and an error report as one line on stderr:
// "quillmark-cli SUBCOMMAND: FILE: DESCRIPTION (error N)".
#pragma once

#include "platform/job_ui.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

namespace qm::cli {

struct console_options {
    bool terminal = false; // stderr is a terminal: one live line with a bar
    bool quiet = false;    // no status lines and no bar; messages and errors only
    // The terminal's width in columns, asked at every repaint (the window may be resized).
    std::function<int()> columns;
};

// The width of the terminal on stderr; COLUMNS, then 80, when it cannot be asked.
int terminal_columns();

class console_job_ui final : public JobUi {
public:
    console_job_ui(std::ostream& out, std::ostream& err, console_options options);
    ~console_job_ui() override;

    // The data goes to stdout: message boxes move to stderr, so the stream stays clean.
    void data_on_stdout() { messages_ = &err_; }
    // Errors about `copy` (a private copy of a pipe) name `given` instead.
    void name_copy(std::filesystem::path copy, std::filesystem::path given) {
        copy_ = std::move(copy);
        given_ = std::move(given);
    }

    // Warnings and error reports that name no file of their own concern `file` (the input of a
    // one-file tool): their line names it before the text, as the window's box cannot.
    void messages_concern(std::filesystem::path file) { concerned_ = std::move(file); }
    // What error lines begin with: "quillmark-cli SUBCOMMAND".
    void running(std::string command) { command_ = std::move(command); }

    void status(std::string_view text) override;
    void counts(std::string_view first, std::string_view second) override;
    void progress_range(long long minimum, long long maximum) override;
    void progress_value(long long value) override;
    void progress_to_maximum() override;
    void repaint() override {}
    void busy(bool) override {}
    void message(message_icon icon, std::string_view title, std::string_view text) override;
    void error_report(const run_error& error, std::string_view title,
                      std::string_view text) override;

private:
    void show(bool force);
    void end_live_line();
    void settle();
    std::string live_line(int columns) const;

    std::ostream& out_;
    std::ostream& err_;
    std::ostream* messages_ = &out_;
    std::filesystem::path copy_, given_;
    std::filesystem::path concerned_;
    std::string command_ = "quillmark-cli";
    console_options options_;
    std::string status_;
    bool status_shown_ = true;
    bool live_line_ = false;
    long long minimum_ = 0, maximum_ = 0, value_ = 0;
    std::chrono::steady_clock::time_point last_shown_{};
};

const char* icon_name(message_icon icon);

// A message text in one line: each line break (LF CR, CR LF, LF or CR) becomes one space.
std::string one_line(std::string_view text);

// A run error as the command line prints it, with its line end: "COMMAND: FILE: DESCRIPTION
// (error N)", the file left out when there is none.
std::string error_line(std::string_view command, const std::filesystem::path& file,
                       const run_error& error);

} // namespace qm::cli
