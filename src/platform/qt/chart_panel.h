// Charts of a job's results, drawn from its chart data, one under the other, with a button
// that saves them as one picture (PNG, or SVG when the name ends in ".svg").
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

#include <vector>

class QChart;
class QChartView;
class QPushButton;
class QHBoxLayout;
class QVBoxLayout;

namespace qm {

// The chart of one chart data: a line series per line (marks dashed), titled axes that span
// the data, a legend when there is more than one line.
QChart* make_chart(const chart_data& data);

class chart_panel : public QWidget {
    Q_OBJECT
public:
    explicit chart_panel(const char* name);

    void show_charts(const std::vector<chart_data>& charts);
    // Another button on the Save button's row, after it.
    void add_button(QPushButton* button);
    const std::vector<QChartView*>& views() const { return views_; }

    QPushButton* cmd_save_chart;

private:
    QWidget* pictures_;
    QVBoxLayout* column_;
    QHBoxLayout* buttons_;
    std::vector<QChartView*> views_;
};

// The bytes of the picture of `widget`: SVG when `svg`, else PNG.
QByteArray picture_bytes(QWidget* widget, bool svg);

// Asks for a file name and saves the picture of `widget` there: SVG when the name ends in
// ".svg", else PNG. A file that cannot be written is a message, never a half picture.
void save_picture(QWidget* widget);

// Replaces the chart a view shows (a view lets go of its old chart without deleting it).
void replace_chart(QChartView* view, const chart_data& data);

} // namespace qm
