#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/window_registry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(QtFilter, EveryFileMeansEveryFile) {
    EXPECT_EQ(qt_filter("All Files (*.*)|*.*|"), "All Files (*)");
    EXPECT_EQ(qt_filter("Text (*.txt;*.dat)|*.txt;*.dat|All Files (*.*)|*.*|"),
              "Text (*.txt *.dat);;All Files (*)");
}

TEST(WidgetJobUi, DrivesTheWindowsWidgetsAndPointer) {
    scoped_test_services services;
    QWidget window;
    auto* status = new QLineEdit(&window);
    auto* bar = new QProgressBar(&window);
    widget_job_ui ui({&window, status, nullptr, nullptr, bar, {&window}});
    {
        busy_pointer hourglass(ui);
        EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
        ui.status("Lines Scanned = 12");
        ui.progress_range(0, 10);
        ui.progress_value(25); // past the end: shown full, never an error
        EXPECT_EQ(bar->value(), 10);
        ui.progress_value(3);
        ui.progress_to_maximum();
        ui.message(message_icon::information, "Done", "All\n\rdone");
    }
    EXPECT_EQ(status->text(), "Lines Scanned = 12");
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text, "All\n\rdone"); // the job's own break is kept
}

TEST(WidgetJobUi, ABarOverMoreThanTwoGigabytesStaysInProportion) {
    EXPECT_EQ(progress_bar_value(5), 5);
    EXPECT_EQ(progress_bar_value(1LL << 40), 2147483647);
    QProgressBar bar;
    widget_job_ui ui({nullptr, nullptr, nullptr, nullptr, &bar, {}});
    ui.progress_range(0, 5LL << 30); // a 5 GiB file in bytes
    ui.progress_value(5LL << 29);    // half of it read
    EXPECT_EQ(bar.value() * 2LL, bar.maximum() - bar.maximum() % 2);
    ui.progress_range(0, 100);
    ui.progress_value(40);
    EXPECT_EQ(bar.value(), 40);
}

struct counted_window : QWidget {
    counted_window() { ++alive; }
    ~counted_window() override { --alive; }
    static inline int alive = 0;
};

TEST(WindowRegistry, AtMostOneWindowAndForgottenWhenClosed) {
    auto& registry = window_registry::instance();
    counted_window* first = registry.load<counted_window>();
    EXPECT_EQ(registry.load<counted_window>(), first);
    EXPECT_EQ(counted_window::alive, 1);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(counted_window::alive, 0);
    EXPECT_EQ(registry.find<counted_window>(), nullptr);
    registry.load<counted_window>();
    registry.destroy_all();
    EXPECT_EQ(counted_window::alive, 0);
}

} // namespace
} // namespace qm
