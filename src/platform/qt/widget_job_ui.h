// The JobUi a window lends to its job: the StatusLine, count labels and progress bar are the
// window's own widgets, repainted as soon as the job changes them. While the job runs the
// event loop processes everything but user input, so the window never looks frozen and no
// click reaches it.
#pragma once

#include "platform/job_ui.h"

#include <QElapsedTimer>
#include <QPointer>

#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;

namespace qm {

struct job_widgets {
    QWidget* window = nullptr;        // owner of message boxes, repainted whole by repaint()
    QLineEdit* status_line = nullptr; // the StatusLine
    QLabel* first_count = nullptr;
    QLabel* second_count = nullptr;
    QProgressBar* progress = nullptr;
    std::vector<QWidget*> busy_windows; // windows that show the hourglass
};

class widget_job_ui final : public JobUi {
public:
    explicit widget_job_ui(job_widgets widgets);

    void status(std::string_view text) override;
    void counts(std::string_view first, std::string_view second) override;
    void progress_range(long long minimum, long long maximum) override;
    void progress_value(long long value) override;
    void progress_to_maximum() override;
    void repaint() override;
    void busy(bool on) override;
    void message(message_icon icon, std::string_view title, std::string_view text) override;

private:
    // Paints `widget` now, unless that happened within the last few milliseconds: a job may
    // change its status once a line over millions of lines, faster than any screen shows.
    void show_now(QWidget* widget, bool force = false);

    job_widgets w_;
    std::vector<QPointer<QWidget>> busy_;
    QElapsedTimer since_paint_;
    long long progress_step_ = 1;
};

// The progress bar holds an int. A range beyond it is counted in steps of `progress_step`
// units, so a bar over a file of more than 2 GiB in bytes stays exact in proportion; values
// outside the int range stay at its ends.
long long progress_step(long long maximum);
int progress_bar_value(long long value, long long step = 1);

} // namespace qm
