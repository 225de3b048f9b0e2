// Helpers for window tests.
#pragma once

#include "platform/qt/chart_panel.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_chart.h"

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QLineSeries>

#include <gtest/gtest.h>

#include <vector>

namespace qm::test {

// Runs the event loop until `done` holds or `limit_ms` have passed; false on time-out.
template <class Pred> bool wait_until(Pred done, int limit_ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() <= limit_ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The control of that name, failing the test when it is missing.
template <class T> T* control(QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// A line of a chart as the user sees it: its legend name and its points.
struct drawn_line {
    QString name;
    QList<QPointF> points;
};

inline std::vector<drawn_line> chart_lines(const QChart* chart) {
    std::vector<drawn_line> lines;
    for (QAbstractSeries* series : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(series))
            lines.push_back({line->name(), line->points()});
    return lines;
}

// The titles of the horizontal and the vertical axis.
inline std::pair<QString, QString> axis_titles(const QChart* chart) {
    const auto x = chart->axes(Qt::Horizontal), y = chart->axes(Qt::Vertical);
    return {x.isEmpty() ? QString() : x.front()->titleText(),
            y.isEmpty() ? QString() : y.front()->titleText()};
}

// The charts the chart window shows, top to bottom; none when it is not open.
inline std::vector<QChart*> shown_charts() {
    std::vector<QChart*> charts;
    if (auto* window = window_registry::instance().find<frm_chart>())
        for (QChartView* view : window->chart_results->views())
            charts.push_back(view->chart());
    return charts;
}

// The lines of the one chart the chart window shows, whose axes carry these titles.
inline std::vector<drawn_line> one_chart(const char* x_title, const char* y_title) {
    const std::vector<QChart*> charts = shown_charts();
    EXPECT_EQ(charts.size(), 1u);
    if (charts.size() != 1)
        return {};
    EXPECT_EQ(axis_titles(charts[0]), std::make_pair(QString(x_title), QString(y_title)));
    return chart_lines(charts[0]);
}

} // namespace qm::test
