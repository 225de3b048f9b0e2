// Charts explored with the mouse and the keys, and saved as data and as pictures.
#include "platform/qt/chart_explorer.h"
#include "platform/qt/chart_panel.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_chart.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QValueAxis>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace qm {
namespace {

// A decay over lags 0 to 100 fs, and a second line.
chart_data decay() {
    chart_data chart{"Correlation", "Lag (fs)", "C(t)", {{"C", {}}, {"mark", {{50, 0}, {50, 1}}, true}}, ""};
    for (int i = 0; i <= 100; ++i)
        chart.lines[0].points.push_back({double(i), 1 - i / 100.0});
    return chart;
}

struct panel_fixture : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    chart_panel panel{"chart_results"};

    void SetUp() override {
        panel.resize(700, 450);
        panel.show_charts({decay()});
        panel.show();
        QApplication::processEvents();
    }
    QChartView* view() { return panel.views().front(); }
    QWidget* viewport() { return view()->viewport(); }
    chart_explorer* explorer() { return explore(view()); }
    std::pair<double, double> x_range() {
        return {explorer()->x_axis()->min(), explorer()->x_axis()->max()};
    }
    std::pair<double, double> y_range() {
        return {explorer()->y_axis()->min(), explorer()->y_axis()->max()};
    }
    // The view's position of a point of the plot, given as fractions of its width and height.
    QPoint in_plot(double across, double down) {
        const QRectF plot = view()->chart()->plotArea();
        const QPointF scene = view()->chart()->mapToScene(
            QPointF(plot.left() + plot.width() * across, plot.top() + plot.height() * down));
        return view()->mapFromScene(scene);
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), viewport()->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, keys);
        QApplication::sendEvent(viewport(), &event);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers keys = {}) {
        mouse(QEvent::MouseButtonPress, from, button, keys);
        mouse(QEvent::MouseMove, (from + to) / 2, button, keys);
        mouse(QEvent::MouseMove, to, button, keys);
        mouse(QEvent::MouseButtonRelease, to, button, keys);
    }
    void key(int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(view(), &press);
    }
};

TEST_F(panel_fixture, ZoomsByWheelAndRubberBandPansByDragAndKeysAndResets) {
    const auto whole_x = x_range(), whole_y = y_range();
    EXPECT_EQ(whole_x, std::make_pair(0.0, 100.0));

    // One notch forward zooms in around the point under the cursor, which stays put.
    const QPoint at = in_plot(0.25, 0.5);
    const QPointF before = *explorer()->value_at(at);
    QWheelEvent wheel(QPointF(at), viewport()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport(), &wheel);
    EXPECT_NEAR(x_range().second - x_range().first, 80, 1e-9);
    // (Within a pixel: the longer tick labels may narrow the plot a little.)
    EXPECT_NEAR(explorer()->value_at(at)->x(), before.x(), 0.5);

    // Right arrow: a tenth of the span to the right.
    const auto zoomed = x_range();
    key(Qt::Key_Right);
    EXPECT_NEAR(x_range().first, zoomed.first + 8, 1e-9);
    EXPECT_NEAR(x_range().second, zoomed.second + 8, 1e-9);
    // The range boxes follow the view.
    EXPECT_EQ(panel.txt_x_to->text(), QString::number(x_range().second, 'g', 10));

    // Dragging with Shift moves the data with the mouse: the range goes the other way.
    const auto panned = x_range();
    drag(in_plot(0.5, 0.5), in_plot(0.75, 0.5), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_NEAR(x_range().first, panned.first - 20, 0.5);
    const auto middle = x_range();
    drag(in_plot(0.5, 0.5), in_plot(0.25, 0.5), Qt::MiddleButton);
    EXPECT_NEAR(x_range().first, middle.first + 20, 0.5);

    panel.cmd_reset_view->click();
    EXPECT_EQ(x_range(), whole_x);
    EXPECT_EQ(y_range(), whole_y);

    // A rectangle drawn from a quarter to half of the plot is what the plot then shows.
    drag(in_plot(0.25, 0.25), in_plot(0.5, 0.75), Qt::LeftButton);
    EXPECT_NEAR(x_range().first, 25, 1.5);
    EXPECT_NEAR(x_range().second, 50, 1.5);
    key(Qt::Key_Home);
    EXPECT_EQ(x_range(), whole_x);

    // Zoom stops short of rounding noise; the view is never lost.
    int zooms = 0;
    while (explorer()->zoom(1e-2) && zooms < 100)
        ++zooms;
    EXPECT_EQ(zooms, 4);
}

TEST_F(panel_fixture, TheCrosshairReadsOutThePointUnderTheCursorInTheAxesUnits) {
    mouse(QEvent::MouseMove, in_plot(0.5, 0.5), Qt::NoButton, {});
    const QPointF value = *explorer()->value_at(in_plot(0.5, 0.5));
    EXPECT_NEAR(value.x(), 50, 1);
    EXPECT_EQ(panel.lbl_chart_position->text(),
              QStringLiteral("Lag (fs): %1   C(t): %2")
                  .arg(QString::number(value.x(), 'g', 6), QString::number(value.y(), 'g', 6)));
    mouse(QEvent::MouseMove, QPoint(1, 1), Qt::NoButton, {});
    EXPECT_EQ(panel.lbl_chart_position->text(), QString());
}

// The chosen lag range is shown with the y axis fitted to the points in it; a range that is
// no range is refused with a beep.
TEST_F(panel_fixture, ShowsAChosenXRangeWithYFittedToIt) {
    EXPECT_EQ(panel.txt_x_from->text() + " " + panel.txt_x_to->text(), "0 100");
    panel.txt_x_from->setText("10");
    panel.txt_x_to->setText("20");
    panel.cmd_show_range->click();
    EXPECT_EQ(x_range(), std::make_pair(10.0, 20.0));
    // 0.8 to 0.9 with 5 % room; the mark at 50 is outside.
    EXPECT_NEAR(y_range().first, 0.795, 1e-12);
    EXPECT_NEAR(y_range().second, 0.905, 1e-12);
    for (const auto& [from, to] : {std::pair{"20", "10"}, {"x", "5"}, {"3", ""}}) {
        panel.txt_x_from->setText(from);
        panel.txt_x_to->setText(to);
        panel.cmd_show_range->click();
        EXPECT_EQ(x_range(), std::make_pair(10.0, 20.0));
    }
    EXPECT_EQ(services.messages.beeps, 3);
}

TEST_F(panel_fixture, SavesTheDataAsCsvOneFilePerChart) {
    chart_data second{"TDM", "Time (fs)", "Length (au)", {{"root 1", {{2, 0.5}}}}, ""};
    panel.show_charts({decay(), second});
    services.dialogs.queue_path((dir / "gap.csv").string());
    panel.cmd_save_data->click();
    EXPECT_EQ(test::read_file(dir / "gap.csv"), chart_csv(decay()));
    EXPECT_TRUE(test::read_file(dir / "gap.csv").starts_with("series,lag_fs,c_t\nC,0,1\nC,1,0.99\n"));
    EXPECT_EQ(test::read_file(dir / "gap_2.csv"), "series,time_fs,length_au\nroot 1,2,0.5\n");
    services.dialogs.queue_path((dir / "no folder" / "gap.csv").string());
    panel.cmd_save_data->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Data Not Saved");
}

// The size chosen sets the picture's width and resolution; the run's description goes into
// each format's own metadata.
TEST_F(panel_fixture, SavesThePictureAtTheChosenSizeWithTheRunDescribed) {
    panel.set_run_description("input: gap.dat");
    auto* sizes = test::control<QComboBox>(&panel, "cmb_chart_size");
    sizes->setCurrentIndex(sizes->findText("8.5 cm Wide, 300 dpi"));
    for (const char* name : {"chart.png", "chart.svg", "chart.pdf"}) {
        services.dialogs.queue_path((dir / name).string());
        panel.cmd_save_chart->click();
    }
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString((dir / "chart.png").string())));
    EXPECT_EQ(png.width(), 1004);
    EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 300, 0.5);
    EXPECT_EQ(png.text("Description"), "input: gap.dat");
    const std::string svg = test::read_file(dir / "chart.svg");
    EXPECT_NE(svg.find("<desc>input: gap.dat</desc>"), std::string::npos);
    EXPECT_NE(svg.find("width=\"85.00"), std::string::npos) << svg.substr(0, 400);
    const std::string pdf = test::read_file(dir / "chart.pdf");
    EXPECT_TRUE(pdf.starts_with("%PDF"));
    EXPECT_NE(pdf.find("input: gap.dat"), std::string::npos);
    EXPECT_TRUE(services.messages.shown.empty());
}

// The chart window describes the run by the settings of the tool that made it.
TEST(ChartWindow, SavedPicturesDescribeTheToolsSettings) {
    scoped_test_services services;
    test::temp_dir dir;
    QWidget tool;
    tool.setObjectName("frm_tool");
    tool.setWindowTitle("Correlation Function Calculation");
    auto* box = new QCheckBox(&tool);
    box->setObjectName("chk_adjust_by_mean");
    box->setChecked(true);
    frm_chart* chart = show_charts(&tool, {decay()});
    services.dialogs.queue_path((dir / "chart.png").string());
    chart->chart_results->cmd_save_chart->click();
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString((dir / "chart.png").string())));
    EXPECT_EQ(png.text("Description"), "Correlation Function Calculation\nchk_adjust_by_mean: on");
    EXPECT_EQ(png.text("Title"), "Correlation Function Calculation - Chart");
    window_registry::instance().destroy_all();
}

} // namespace
} // namespace qm
