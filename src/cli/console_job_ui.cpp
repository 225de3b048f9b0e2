#include "cli/console_job_ui.h"

#include <ostream>

namespace qm::cli {
namespace {

using namespace std::chrono_literals;
constexpr auto terminal_interval = 100ms;
constexpr auto log_interval = 1s;
constexpr int bar_width = 30;

} // namespace

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

console_job_ui::console_job_ui(std::ostream& out, std::ostream& err, bool terminal)
    : out_(out), err_(err), terminal_(terminal) {}

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
    if (terminal_)
        show(false);
}

void console_job_ui::progress_to_maximum() {
    progress_value(maximum_);
}

void console_job_ui::show(bool force) {
    const auto now = std::chrono::steady_clock::now();
    const auto interval = terminal_ ? terminal_interval : log_interval;
    if (!force && now - last_shown_ < interval)
        return;
    last_shown_ = now;
    if (terminal_) {
        const long long span = maximum_ - minimum_;
        const int filled = span > 0 ? static_cast<int>((value_ - minimum_) * bar_width / span) : 0;
        err_ << "\r\033[K[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(bar_width - filled), ' ') << "] " << status_
             << std::flush;
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

void console_job_ui::message(message_icon icon, std::string_view title, std::string_view text) {
    // The last status before a message is always on record.
    if (!status_shown_ || terminal_)
        show(true);
    end_live_line();
    err_ << std::flush;
    out_ << icon_name(icon) << ": " << title << ": " << text << '\n' << std::flush;
}

} // namespace qm::cli
