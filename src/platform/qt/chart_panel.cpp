#include "platform/qt/chart_panel.h"

#include "platform/output_file.h"
#include "platform/qt/ui_services.h"
#include "platform/run_error.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qm {
namespace {

QString to_qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A tick every 1, 2 or 5 times a power of ten, five to ten of them over `span`.
double tick_interval(double span) {
    const double rough = span / 8;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double step : {1.0, 2.0, 5.0})
        if (rough <= step * power)
            return step * power;
    return 10 * power;
}

// An axis over the data, `margin` of their span added at both ends, with its ticks at round
// values. Data of one value (a flat line, a column of zeros) get room on both sides.
QValueAxis* axis(const std::string& title, double low, double high, double margin) {
    auto* a = new QValueAxis;
    a->setTitleText(to_qt(title));
    if (low > high) { // no points at all
        low = 0;
        high = 1;
    }
    const double pad = high > low ? (high - low) * margin : std::max(std::abs(low), 1.0) / 2;
    low -= pad;
    high += pad;
    a->setRange(low, high);
    a->setLabelFormat(QStringLiteral("%g"));
    // A span beyond a double (values near its limits) keeps Qt's evenly spread ticks.
    const double interval = tick_interval(high - low);
    if (std::isfinite(interval) && interval > 0) {
        a->setTickType(QValueAxis::TicksDynamic);
        a->setTickAnchor(0);
        a->setTickInterval(interval);
    }
    return a;
}

bool ends_with_svg(const std::string& path) {
    return to_qt(path).endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

} // namespace

QChart* make_chart(const chart_data& data) {
    auto* chart = new QChart;
    chart->setTitle(to_qt(data.title));
    double x_low = std::numeric_limits<double>::infinity(), x_high = -x_low;
    double y_low = x_low, y_high = -x_low;
    std::vector<QLineSeries*> series;
    for (const chart_line& line : data.lines) {
        auto* s = new QLineSeries;
        s->setName(to_qt(line.name));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(line.points.size()));
        for (const chart_point& p : line.points) {
            points.append({p.x, p.y});
            x_low = std::min(x_low, p.x);
            x_high = std::max(x_high, p.x);
            y_low = std::min(y_low, p.y);
            y_high = std::max(y_high, p.y);
        }
        s->replace(points);
        chart->addSeries(s);
        if (line.mark) {
            QPen pen = s->pen();
            pen.setStyle(Qt::DashLine);
            pen.setWidthF(1.5);
            s->setPen(pen);
        }
        series.push_back(s);
    }
    // The lines run from edge to edge; above and below them a little room.
    QValueAxis* x = axis(data.x_title, x_low, x_high, 0);
    QValueAxis* y = axis(data.y_title, y_low, y_high, 0.05);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* s : series) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    if (!data.top_labels.empty()) {
        auto* top = new QCategoryAxis;
        top->setTitleText(to_qt(data.top_title));
        top->setRange(x->min(), x->max());
        top->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        // A category axis takes its labels in rising order of their values.
        std::vector<axis_label> labels = data.top_labels;
        std::sort(labels.begin(), labels.end(),
                  [](const axis_label& a, const axis_label& b) { return a.at < b.at; });
        for (const axis_label& label : labels)
            if (label.at >= x->min() && label.at <= x->max())
                top->append(to_qt(label.text), label.at);
        // Not attached to a series: it only labels the bottom axis's span in another unit.
        chart->addAxis(top, Qt::AlignTop);
    }
    chart->legend()->setVisible(data.lines.size() > 1);
    // Short names fit in a row under the plot; long ones (a peak and its energy) go beside it,
    // one a line, where none is cut.
    std::size_t names = 0;
    for (const chart_line& line : data.lines)
        names += line.name.size();
    chart->legend()->setAlignment(names <= 40 ? Qt::AlignBottom : Qt::AlignRight);
    return chart;
}

chart_panel::chart_panel(const char* name) {
    setObjectName(QString::fromLatin1(name));
    pictures_ = new QWidget;
    column_ = new QVBoxLayout(pictures_);
    column_->setContentsMargins(0, 0, 0, 0);
    cmd_save_chart = new QPushButton(QStringLiteral("Save C&hart..."));
    cmd_save_chart->setObjectName(QStringLiteral("cmd_save_chart"));
    cmd_save_chart->setEnabled(false);
    buttons_ = new QHBoxLayout;
    buttons_->addStretch();
    buttons_->addWidget(cmd_save_chart);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pictures_, 1);
    layout->addLayout(buttons_);
    connect(cmd_save_chart, &QPushButton::clicked, this, [this] { save_picture(pictures_); });
    show_charts({});
}

void chart_panel::show_charts(const std::vector<chart_data>& charts) {
    for (QChartView* view : views_)
        delete view;
    views_.clear();
    // An empty panel still shows one empty chart, so the space reads as a chart.
    static const std::vector<chart_data> no_chart(1);
    const std::vector<chart_data>& shown = charts.empty() ? no_chart : charts;
    for (const chart_data& data : shown) {
        auto* view = new QChartView(make_chart(data));
        view->setObjectName(QStringLiteral("chart_view"));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(360, 220);
        column_->addWidget(view);
        views_.push_back(view);
    }
    cmd_save_chart->setEnabled(!charts.empty());
}

void chart_panel::add_button(QPushButton* button) {
    buttons_->addWidget(button);
}

QByteArray picture_bytes(QWidget* widget, bool svg) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(widget->size());
        generator.setViewBox(QRect(QPoint(0, 0), widget->size()));
        generator.setTitle(widget->window()->windowTitle());
        QPainter painter(&generator);
        widget->render(&painter);
    } else {
        widget->grab().save(&buffer, "PNG");
    }
    return bytes;
}

void save_picture(QWidget* widget) {
    file_dialog_options options;
    options.title = "Save Chart";
    options.purpose = file_purpose::overwrite;
    options.filter = "PNG Image (*.png)|*.png|SVG Drawing (*.svg)|*.svg|";
    const file_choice choice = services().dialogs->open_file(widget->window(), options);
    if (!choice.ok)
        return;
    const QByteArray bytes = picture_bytes(widget, ends_with_svg(choice.path));
    try {
        write_whole_file(choice.path, std::string_view(bytes.constData(),
                                                       static_cast<std::size_t>(bytes.size())));
    } catch (const run_error& e) {
        services().messages->show(widget->window(), message_icon::exclamation, "Chart Not Saved",
                                  "The chart could not be saved to " + choice.path + ": " +
                                      e.description);
    }
}

void replace_chart(QChartView* view, const chart_data& data) {
    QChart* old = view->chart();
    view->setChart(make_chart(data));
    delete old;
}

} // namespace qm
