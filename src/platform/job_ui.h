// What a job may tell its user while it runs. A window lends its widgets through this
// interface; the command line prints to the console; tests record everything.
#pragma once

#include "platform/run_error.h"

#include <string_view>

namespace qm {

enum class message_icon { information, exclamation, critical };

// A line break inside a message text: line feed, then carriage return.
inline constexpr std::string_view message_break = "\n\r";

class JobUi {
public:
    virtual ~JobUi() = default;

    // The StatusLine; shown at once.
    virtual void status(std::string_view text) = 0;
    // The two count labels of the windows that have them.
    virtual void counts(std::string_view first, std::string_view second) = 0;
    virtual void progress_range(long long minimum, long long maximum) = 0;
    virtual void progress_value(long long value) = 0;
    virtual void progress_to_maximum() = 0;
    // Repaint the whole window (the job's lighter updates repaint only what they touch).
    virtual void repaint() = 0;
    // The hourglass pointer on the job's windows; use busy_pointer rather than calling it.
    virtual void busy(bool on) = 0;
    // A message box: blocks until the user has answered it.
    virtual void message(message_icon icon, std::string_view title, std::string_view text) = 0;
    // An unexpected failure of a job: `text` is the report a window shows in its box under
    // `title`; the command line prints `error` itself in one line instead.
    virtual void error_report(const run_error& /*error*/, std::string_view title,
                              std::string_view text) {
        message(message_icon::exclamation, title, text);
    }
};

// Hourglass for the life of the guard, normal pointer again on every way out.
class busy_pointer {
public:
    explicit busy_pointer(JobUi& ui) : ui_(ui) { ui_.busy(true); }
    ~busy_pointer() { ui_.busy(false); }
    busy_pointer(const busy_pointer&) = delete;
    busy_pointer& operator=(const busy_pointer&) = delete;

private:
    JobUi& ui_;
};

} // namespace qm
