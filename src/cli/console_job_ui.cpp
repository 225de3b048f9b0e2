#include "cli/console_job_ui.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qm::cli {
namespace {

using namespace std::chrono_literals;
constexpr auto terminal_interval = 100ms;
constexpr auto log_interval = 1s;
constexpr int widest_bar = 30;
// Below this width the bar is left out and the status alone is shown.
constexpr int narrowest_bar_line = 40;

} // namespace

int terminal_columns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS")) {
        const int n = std::atoi(columns);
        if (n > 0)
            return n;
    }
    return 80;
}

const char* icon_name(message_icon icon) {
    switch (icon) {
    case message_icon::information:
        return "Information";
    case message_icon::exclamation:
        return "Exclamation";
    case message_icon::critical:
        return "Critical";
    }
    return "Information";
}

std::string one_line(std::string_view text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') {
            line += c;
            continue;
        }
        line += ' ';
        // The two characters of one break: LF CR or CR LF.
        if (i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r') && text[i + 1] != c)
            ++i;
    }
    return line;
}

std::string error_line(std::string_view command, const std::filesystem::path& file,
                       const run_error& error) {
    std::string line(command);
    line += ": ";
    if (!file.empty())
        line += one_line(file.string()) + ": ";
    return line + one_line(error.description) + " (error " + std::to_string(error.number) + ")\n";
}

console_job_ui::console_job_ui(std::ostream& out, std::ostream& err, console_options options)
    : out_(out), err_(err), options_(std::move(options)) {
    if (!options_.columns)
        options_.columns = terminal_columns;
}

console_job_ui::~console_job_ui() {
    end_live_line();
}

void console_job_ui::status(std::string_view text) {
    status_ = text;
    status_shown_ = false;
    show(false);
}

void console_job_ui::counts(std::string_view, std::string_view) {}

void console_job_ui::progress_range(long long minimum, long long maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void console_job_ui::progress_value(long long value) {
    value_ = value;
    if (options_.terminal)
        show(false);
}

void console_job_ui::progress_to_maximum() {
    progress_value(maximum_);
}

// "[#####     ] status", never wider than the terminal less one column: a line that wrapped
// would leave a new line behind at every repaint. Control characters would move the cursor.
std::string console_job_ui::live_line(int columns) const {
    const auto room = static_cast<std::size_t>(std::max(columns - 1, 1));
    std::string line;
    if (columns >= narrowest_bar_line) {
        const int width = std::min(widest_bar, columns / 4);
        const long long span = maximum_ - minimum_;
        const long long done = std::clamp(value_ - minimum_, 0LL, std::max(span, 0LL));
        const int filled = span > 0 ? static_cast<int>(done * width / span) : 0;
        line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(width - filled), ' ') + "] ";
    }
    for (const char c : status_)
        line += static_cast<unsigned char>(c) < ' ' ? ' ' : c;
    if (line.size() > room)
        line.resize(room);
    return line;
}

void console_job_ui::show(bool force) {
    if (options_.quiet)
        return;
    const auto now = std::chrono::steady_clock::now();
    const auto interval = options_.terminal ? terminal_interval : log_interval;
    if (!force && now - last_shown_ < interval)
        return;
    last_shown_ = now;
    if (options_.terminal) {
        err_ << "\r\033[K" << live_line(options_.columns()) << std::flush;
        live_line_ = true;
    } else if (!status_shown_) {
        err_ << status_ << '\n';
    }
    status_shown_ = true;
}

void console_job_ui::end_live_line() {
    if (live_line_)
        err_ << '\n' << std::flush;
    live_line_ = false;
}

// The last status before a message or an error is always on record, and the live line ends.
void console_job_ui::settle() {
    if (!status_shown_ || live_line_)
        show(true);
    end_live_line();
    err_ << std::flush;
}

void console_job_ui::message(message_icon icon, std::string_view title, std::string_view text) {
    settle();
    *messages_ << icon_name(icon) << ": " << title << ": ";
    if (icon != message_icon::information && !concerned_.empty())
        *messages_ << concerned_.string() << ": ";
    *messages_ << one_line(text) << '\n' << std::flush;
}

// The window's report names its routine and ends in a line break for the window's menu; a
// script wants the error, the file and its number, once.
void console_job_ui::error_report(const run_error& error, std::string_view, std::string_view) {
    settle();
    const std::filesystem::path& file = error.file.empty()    ? concerned_
                                        : error.file == copy_ ? given_
                                                              : error.file;
    err_ << error_line(command_, file, error) << std::flush;
}

} // namespace qm::cli
