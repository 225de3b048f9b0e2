// The command line's JobUi: status on stderr (a live line with a progress bar on a terminal,
// otherwise a few lines a second at most), every message box on stdout as
// "<Information|Exclamation|Critical>: <title>: <text>".
#pragma once

#include "platform/job_ui.h"

#include <chrono>
#include <iosfwd>
#include <string>

namespace qm::cli {

class console_job_ui final : public JobUi {
public:
    console_job_ui(std::ostream& out, std::ostream& err, bool terminal);
    ~console_job_ui() override;

    void status(std::string_view text) override;
    void counts(std::string_view first, std::string_view second) override;
    void progress_range(long long minimum, long long maximum) override;
    void progress_value(long long value) override;
    void progress_to_maximum() override;
    void repaint() override {}
    void busy(bool) override {}
    void message(message_icon icon, std::string_view title, std::string_view text) override;

private:
    void show(bool force);
    void end_live_line();

    std::ostream& out_;
    std::ostream& err_;
    bool terminal_;
    std::string status_;
    bool status_shown_ = true;
    bool live_line_ = false;
    long long minimum_ = 0, maximum_ = 0, value_ = 0;
    std::chrono::steady_clock::time_point last_shown_{};
};

const char* icon_name(message_icon icon);

} // namespace qm::cli
