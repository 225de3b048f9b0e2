#include "platform/qt/widget_job_ui.h"

#include "platform/qt/ui_services.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace qm {
namespace {

constexpr qint64 paint_interval_ms = 15;

QString to_qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

long long progress_step(long long maximum) {
    constexpr long long top = std::numeric_limits<int>::max();
    return maximum > top ? maximum / top + 1 : 1;
}

int progress_bar_value(long long value, long long step) {
    constexpr long long top = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value / step, -top, top));
}

widget_job_ui::widget_job_ui(job_widgets widgets) : w_(std::move(widgets)) {
    for (QWidget* window : w_.busy_windows)
        busy_.emplace_back(window);
    since_paint_.start();
}

void widget_job_ui::show_now(QWidget* widget, bool force) {
    if (widget == nullptr)
        return;
    if (!force && since_paint_.elapsed() < paint_interval_ms)
        return;
    widget->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_paint_.restart();
}

void widget_job_ui::status(std::string_view text) {
    if (w_.status_line == nullptr)
        return;
    w_.status_line->setText(to_qt(text));
    show_now(w_.status_line);
}

void widget_job_ui::counts(std::string_view first, std::string_view second) {
    if (w_.first_count != nullptr)
        w_.first_count->setText(to_qt(first));
    if (w_.second_count != nullptr)
        w_.second_count->setText(to_qt(second));
    show_now(w_.first_count);
}

void widget_job_ui::progress_range(long long minimum, long long maximum) {
    if (w_.progress == nullptr)
        return;
    progress_step_ = progress_step(maximum);
    w_.progress->setRange(progress_bar_value(minimum, progress_step_),
                          progress_bar_value(maximum, progress_step_));
    show_now(w_.progress);
}

void widget_job_ui::progress_value(long long value) {
    if (w_.progress == nullptr)
        return;
    const int v = progress_bar_value(value, progress_step_);
    w_.progress->setValue(std::clamp(v, w_.progress->minimum(), w_.progress->maximum()));
    show_now(w_.progress);
}

void widget_job_ui::progress_to_maximum() {
    if (w_.progress == nullptr)
        return;
    w_.progress->setValue(w_.progress->maximum());
    show_now(w_.progress, true);
}

void widget_job_ui::repaint() {
    show_now(w_.window, true);
}

void widget_job_ui::busy(bool on) {
    for (const auto& window : busy_) {
        if (window.isNull())
            continue;
        if (on)
            window->setCursor(Qt::WaitCursor);
        else
            window->unsetCursor();
    }
    if (on)
        show_now(w_.window, true);
}

void widget_job_ui::message(message_icon icon, std::string_view title, std::string_view text) {
    // Whatever the job changed last is on screen before the box appears.
    if (w_.status_line != nullptr)
        show_now(w_.status_line, true);
    services().messages->show(w_.window, icon, title, text);
}

} // namespace qm
