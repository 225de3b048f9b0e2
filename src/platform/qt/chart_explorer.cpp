#include "platform/qt/chart_explorer.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPen>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>

namespace qm {
namespace {

constexpr double zoom_step = 1.25; // one wheel notch, one + or - key
constexpr double pan_step = 0.1;   // one arrow key: a tenth of the plot
// A view closer in than this fraction of the whole chart shows nothing but rounding; one
// farther out than this many times it shows the data as a dot.
constexpr double closest_zoom = 1e-9;
constexpr double farthest_zoom = 1e6;

QValueAxis* first_axis(const QChart* chart, Qt::Orientation orientation) {
    if (chart == nullptr)
        return nullptr;
    const auto axes = chart->axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.front());
}

} // namespace

chart_explorer::chart_explorer(QChartView* view) : QObject(view), view_(view) {
    setObjectName(QStringLiteral("chart_explorer"));
    view->setRubberBand(QChartView::RectangleRubberBand);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMouseTracking(true);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);
    QPen pen(QColor(120, 120, 120));
    pen.setStyle(Qt::DotLine);
    across_ = view->scene()->addLine({}, pen);
    down_ = view->scene()->addLine({}, pen);
    for (QGraphicsLineItem* line : {across_, down_})
        line->setZValue(1000);
    chart_replaced();
}

QValueAxis* chart_explorer::x_axis() const {
    return first_axis(view_->chart(), Qt::Horizontal);
}

QValueAxis* chart_explorer::y_axis() const {
    return first_axis(view_->chart(), Qt::Vertical);
}

void chart_explorer::chart_replaced() {
    if (QValueAxis* x = x_axis()) {
        whole_x_[0] = x->min();
        whole_x_[1] = x->max();
    }
    if (QValueAxis* y = y_axis()) {
        whole_y_[0] = y->min();
        whole_y_[1] = y->max();
    }
    hide_crosshair();
}

bool chart_explorer::zoom(double factor, QPointF centre) {
    QValueAxis* x = x_axis();
    QValueAxis* y = y_axis();
    if (x == nullptr || y == nullptr || !(factor > 0))
        return false;
    auto allowed = [factor](const QValueAxis* a, const double whole[2]) {
        const double span = (a->max() - a->min()) * factor;
        const double whole_span = whole[1] - whole[0];
        return std::isfinite(span) && span >= whole_span * closest_zoom &&
               span <= whole_span * farthest_zoom;
    };
    if (!allowed(x, whole_x_) || !allowed(y, whole_y_))
        return false;
    x->setRange(centre.x() - (centre.x() - x->min()) * factor,
                centre.x() + (x->max() - centre.x()) * factor);
    y->setRange(centre.y() - (centre.y() - y->min()) * factor,
                centre.y() + (y->max() - centre.y()) * factor);
    return true;
}

bool chart_explorer::zoom(double factor) {
    const QValueAxis* x = x_axis();
    const QValueAxis* y = y_axis();
    if (x == nullptr || y == nullptr)
        return false;
    return zoom(factor, {(x->min() + x->max()) / 2, (y->min() + y->max()) / 2});
}

void chart_explorer::pan(double x_fraction, double y_fraction) {
    QValueAxis* x = x_axis();
    QValueAxis* y = y_axis();
    if (x == nullptr || y == nullptr)
        return;
    const double dx = (x->max() - x->min()) * x_fraction;
    const double dy = (y->max() - y->min()) * y_fraction;
    x->setRange(x->min() + dx, x->max() + dx);
    y->setRange(y->min() + dy, y->max() + dy);
}

void chart_explorer::reset_view() {
    if (QValueAxis* x = x_axis())
        x->setRange(whole_x_[0], whole_x_[1]);
    if (QValueAxis* y = y_axis())
        y->setRange(whole_y_[0], whole_y_[1]);
}

std::optional<QPointF> chart_explorer::value_at(QPoint at) const {
    const QChart* chart = view_->chart();
    const QValueAxis* x = x_axis();
    const QValueAxis* y = y_axis();
    if (chart == nullptr || x == nullptr || y == nullptr)
        return std::nullopt;
    const QRectF plot = chart->plotArea();
    const QPointF p = chart->mapFromScene(view_->mapToScene(at));
    if (!plot.contains(p) || plot.width() <= 0 || plot.height() <= 0)
        return std::nullopt;
    return QPointF(x->min() + (p.x() - plot.left()) / plot.width() * (x->max() - x->min()),
                   y->max() - (p.y() - plot.top()) / plot.height() * (y->max() - y->min()));
}

void chart_explorer::follow(QPoint at) {
    const std::optional<QPointF> value = value_at(at);
    if (!value) {
        hide_crosshair();
        return;
    }
    const QChart* chart = view_->chart();
    const QRectF plot = chart->mapRectToScene(chart->plotArea());
    const QPointF p = view_->mapToScene(at);
    across_->setLine(plot.left(), p.y(), plot.right(), p.y());
    down_->setLine(p.x(), plot.top(), p.x(), plot.bottom());
    across_->show();
    down_->show();
    if (read_out_)
        read_out_(value);
}

void chart_explorer::hide_crosshair() {
    across_->hide();
    down_->hide();
    if (read_out_)
        read_out_(std::nullopt);
}

bool chart_explorer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport())
        return mouse_event(event);
    if (watched == view_ && event->type() == QEvent::KeyPress)
        return key_event(event);
    return false;
}

bool chart_explorer::mouse_event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const double notches = wheel->angleDelta().y() / 120.0;
        if (notches == 0)
            return false;
        const std::optional<QPointF> centre = value_at(wheel->position().toPoint());
        const double factor = std::pow(zoom_step, -notches);
        if (centre)
            zoom(factor, *centre);
        else
            zoom(factor);
        follow(wheel->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        const bool pan_drag =
            press->button() == Qt::MiddleButton ||
            (press->button() == Qt::LeftButton &&
             (press->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) != 0);
        if (!pan_drag)
            return false;
        panning_ = true;
        last_ = press->position().toPoint();
        view_->viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        const QPoint at = move->position().toPoint();
        if (!panning_) {
            follow(at);
            return false;
        }
        const QRectF plot = view_->chart()->plotArea();
        if (plot.width() > 0 && plot.height() > 0)
            pan(-(at.x() - last_.x()) / plot.width(), (at.y() - last_.y()) / plot.height());
        last_ = at;
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!panning_)
            return false;
        panning_ = false;
        view_->viewport()->unsetCursor();
        follow(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseButtonDblClick:
        reset_view();
        return true;
    case QEvent::Leave:
        hide_crosshair();
        return false;
    default:
        return false;
    }
}

bool chart_explorer::key_event(QEvent* event) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Left:
        pan(-pan_step, 0);
        return true;
    case Qt::Key_Right:
        pan(pan_step, 0);
        return true;
    case Qt::Key_Up:
        pan(0, pan_step);
        return true;
    case Qt::Key_Down:
        pan(0, -pan_step);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoom(1 / zoom_step);
        return true;
    case Qt::Key_Minus:
        zoom(zoom_step);
        return true;
    case Qt::Key_Home:
    case Qt::Key_0:
        reset_view();
        return true;
    default:
        return false;
    }
}

chart_explorer* explore(QChartView* view) {
    auto* explorer = view->findChild<chart_explorer*>(QStringLiteral("chart_explorer"),
                                                      Qt::FindDirectChildrenOnly);
    return explorer != nullptr ? explorer : new chart_explorer(view);
}

} // namespace qm
