// Exploring a chart with the mouse and the keys, on any chart view:
//
//   wheel                      zoom in or out around the point under the cursor
//   drag (left button)         zoom into the rectangle drawn; right click zooms back out
//   drag with Shift or Ctrl,   pan
//   or with the middle button
//   arrow keys                 pan by a tenth of the plot; + and - zoom around its centre
//   Home, 0, double click      back to the whole chart
//
// A crosshair follows the cursor over the plot; the point under it, in the axes' units, goes
// to a read-out the owner shows (the chart panel: a label under its charts).
#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

class QChartView;
class QGraphicsLineItem;
class QValueAxis;

namespace qm {

class chart_explorer final : public QObject {
    Q_OBJECT
public:
    // The read-out: the point under the cursor, or nothing when it leaves the plot.
    using read_out = std::function<void(std::optional<QPointF>)>;

    // Takes the chart the view shows now as the whole chart. Deleted with the view.
    explicit chart_explorer(QChartView* view);

    void set_read_out(read_out shown) { read_out_ = std::move(shown); }

    // The chart the view shows was replaced: its ranges are the whole chart now.
    void chart_replaced();

    // Zooms by `factor` (below 1 in, above 1 out) around the point `centre` (axis values).
    // A zoom that would leave less than a billionth or more than a million times the whole
    // chart's span is refused: false.
    bool zoom(double factor, QPointF centre);
    bool zoom(double factor);
    // Moves the view by these fractions of the visible spans (right and up positive).
    void pan(double x_fraction, double y_fraction);
    void reset_view();

    // The point of the plot under the view's position `at`, in axis values; nothing outside.
    std::optional<QPointF> value_at(QPoint at) const;

    QValueAxis* x_axis() const;
    QValueAxis* y_axis() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mouse_event(QEvent* event);
    bool key_event(QEvent* event);
    void follow(QPoint at);
    void hide_crosshair();

    QChartView* view_;
    double whole_x_[2] = {0, 1};
    double whole_y_[2] = {0, 1};
    bool panning_ = false;
    QPoint last_;
    QGraphicsLineItem* across_ = nullptr;
    QGraphicsLineItem* down_ = nullptr;
    read_out read_out_;
};

// The view's explorer, made on first use.
chart_explorer* explore(QChartView* view);

} // namespace qm
