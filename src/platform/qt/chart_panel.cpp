#include "platform/qt/chart_panel.h"

#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/qt/chart_explorer.h"
#include "platform/qt/remembered_settings.h"
#include "platform/qt/ui_services.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <filesystem>
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

// Ticks at round values for the range shown, labelled with the digits that tell them apart
// (a zoom far into 1000.0001 .. 1000.0009 needs more than six). A span beyond a double
// (values near its limits) keeps Qt's evenly spread ticks.
void fit_ticks(QValueAxis* a, double low, double high) {
    const double interval = tick_interval(high - low);
    if (!std::isfinite(interval) || interval <= 0)
        return;
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(interval);
    const double largest = std::max(std::abs(low), std::abs(high));
    const int digits =
        std::clamp(static_cast<int>(std::ceil(std::log10(largest / interval))) + 1, 6, 15);
    a->setLabelFormat(QStringLiteral("%.%1g").arg(digits));
}

// The range of values from `low` to `high` with `margin` of their span added at both ends.
// Values of one value (a flat line, a column of zeros) get room on both sides; no values at
// all (low above high) are 0 to 1.
std::pair<double, double> padded_range(double low, double high, double margin) {
    if (low > high)
        return {0, 1};
    const double pad = high > low ? (high - low) * margin : std::max(std::abs(low), 1.0) / 2;
    return {low - pad, high + pad};
}

QValueAxis* axis(const std::string& title, double low, double high, double margin) {
    auto* a = new QValueAxis;
    a->setTitleText(to_qt(title));
    const auto [from, to] = padded_range(low, high, margin);
    a->setRange(from, to);
    a->setLabelFormat(QStringLiteral("%g"));
    fit_ticks(a, from, to);
    // Zoomed or panned, the ticks follow the range shown.
    QObject::connect(a, &QValueAxis::rangeChanged, a,
                     [a](qreal min, qreal max) { fit_ticks(a, min, max); });
    return a;
}

constexpr double y_margin = 0.05; // room above and below the lines

struct picture_size {
    const char* name;
    int width; // 0: as shown
    int dpi;
};

// Widths a journal column, a journal page and a slide take.
constexpr picture_size picture_sizes[] = {
    {"As Shown", 0, 0},
    {"8.5 cm Wide, 300 dpi", 1004, 300},
    {"17 cm Wide, 300 dpi", 2008, 300},
    {"1920 Pixels Wide, 96 dpi", 1920, 96},
};

QString xml_escaped(const std::string& text) {
    return to_qt(text).toHtmlEscaped();
}

// The PDF's metadata: its title, and the run's description as its subject.
QByteArray xmp_metadata(const picture_options& options) {
    const QString xmp =
        QStringLiteral(
            "<?xpacket begin=\"\xef\xbb\xbf\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
            "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
            "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
            "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
            "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"
            "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">%2</rdf:li></rdf:Alt>"
            "</dc:description>\n"
            "<xmp:CreatorTool>Quillmark</xmp:CreatorTool>\n"
            "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>")
            .arg(xml_escaped(options.title), xml_escaped(options.description));
    return xmp.toUtf8();
}

// The size of the picture and the scale from the widget to it.
std::pair<QSize, double> picture_geometry(const QWidget* widget, const picture_options& options) {
    if (options.width <= 0 || widget->width() <= 0)
        return {widget->size(), 1.0};
    const double scale = static_cast<double>(options.width) / widget->width();
    return {QSize(options.width, static_cast<int>(std::lround(widget->height() * scale))), scale};
}

void write_bytes(const std::string& path, const QByteArray& bytes) {
    write_whole_file(path,
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// The name of the n-th file of several: "gap.csv", "gap_2.csv", "gap_3.csv".
std::string numbered_path(const std::string& path, std::size_t n) {
    if (n == 1)
        return path;
    std::filesystem::path p(path);
    const std::string stem = p.stem().string() + "_" + std::to_string(n);
    return (p.parent_path() / (stem + p.extension().string())).string();
}

QString position_text(const std::string& title, double value, const char* fallback) {
    return (title.empty() ? QString::fromLatin1(fallback) : to_qt(title)) + QStringLiteral(": ") +
           QString::number(value, 'g', 6);
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
    QValueAxis* y = axis(data.y_title, y_low, y_high, y_margin);
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

    lbl_chart_position = new QLabel;
    lbl_chart_position->setObjectName(QStringLiteral("lbl_chart_position"));
    lbl_chart_position->setMinimumHeight(lbl_chart_position->fontMetrics().height());
    auto named_button = [](const char* caption, const char* button_name) {
        auto* button = new QPushButton(QString::fromLatin1(caption));
        button->setObjectName(QString::fromLatin1(button_name));
        return button;
    };
    txt_x_from = new QLineEdit;
    txt_x_from->setObjectName(QStringLiteral("txt_x_from"));
    txt_x_to = new QLineEdit;
    txt_x_to->setObjectName(QStringLiteral("txt_x_to"));
    cmd_show_range = named_button("Sho&w", "cmd_show_range");
    cmd_reset_view = named_button("Reset &View", "cmd_reset_view");
    cmd_save_data = named_button("Save &Data...", "cmd_save_data");
    cmb_chart_size = new QComboBox;
    cmb_chart_size->setObjectName(QStringLiteral("cmb_chart_size"));
    for (const picture_size& size : picture_sizes)
        cmb_chart_size->addItem(QString::fromLatin1(size.name));
    cmb_chart_size->setToolTip(QStringLiteral("The size of the saved chart"));
    cmd_save_chart = named_button("Save C&hart...", "cmd_save_chart");
    // The range and the size belong to the charts shown, not to the settings of a tool.
    for (QWidget* shown : {static_cast<QWidget*>(txt_x_from), static_cast<QWidget*>(txt_x_to),
                           static_cast<QWidget*>(cmb_chart_size)})
        keep_out_of_settings(shown);
    for (QLineEdit* box : {txt_x_from, txt_x_to})
        box->setMaximumWidth(110);

    buttons_ = new QHBoxLayout;
    buttons_->addWidget(new QLabel(QStringLiteral("x from")));
    buttons_->addWidget(txt_x_from);
    buttons_->addWidget(new QLabel(QStringLiteral("to")));
    buttons_->addWidget(txt_x_to);
    buttons_->addWidget(cmd_show_range);
    buttons_->addWidget(cmd_reset_view);
    buttons_->addStretch();
    buttons_->addWidget(cmd_save_data);
    buttons_->addWidget(cmb_chart_size);
    buttons_->addWidget(cmd_save_chart);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pictures_, 1);
    layout->addWidget(lbl_chart_position);
    layout->addLayout(buttons_);

    connect(cmd_save_chart, &QPushButton::clicked, this, [this] { save_chart(); });
    connect(cmd_save_data, &QPushButton::clicked, this, [this] { save_data(); });
    connect(cmd_reset_view, &QPushButton::clicked, this, [this] { reset_view(); });
    connect(cmd_show_range, &QPushButton::clicked, this, [this] { show_range_typed(); });
    for (QLineEdit* box : {txt_x_from, txt_x_to})
        connect(box, &QLineEdit::returnPressed, this, [this] { show_range_typed(); });
    show_charts({});
}

void chart_panel::show_charts(const std::vector<chart_data>& charts) {
    for (QChartView* view : views_)
        delete view;
    views_.clear();
    charts_ = charts;
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
        explore(view)->set_read_out([this, data](std::optional<QPointF> at) {
            lbl_chart_position->setText(
                at ? position_text(data.x_title, at->x(), "x") + QStringLiteral("   ") +
                         position_text(data.y_title, at->y(), "y")
                   : QString());
        });
    }
    for (QWidget* control : {static_cast<QWidget*>(cmd_save_chart),
                             static_cast<QWidget*>(cmd_save_data),
                             static_cast<QWidget*>(cmd_show_range),
                             static_cast<QWidget*>(cmd_reset_view)})
        control->setEnabled(!charts.empty());
    // The boxes show the x range of the first chart as it is zoomed and panned.
    if (QValueAxis* x = explore(views_.front())->x_axis(); x != nullptr && !charts.empty()) {
        connect(x, &QValueAxis::rangeChanged, this,
                [this](qreal min, qreal max) { show_range_in_boxes(min, max); });
        show_range_in_boxes(x->min(), x->max());
    } else {
        txt_x_from->clear();
        txt_x_to->clear();
    }
}

void chart_panel::show_range_in_boxes(double low, double high) {
    txt_x_from->setText(QString::number(low, 'g', 10));
    txt_x_to->setText(QString::number(high, 'g', 10));
}

void chart_panel::add_button(QPushButton* button) {
    buttons_->addWidget(button);
}

bool chart_panel::show_x_range(double low, double high) {
    if (!(low < high) || !std::isfinite(low) || !std::isfinite(high) || charts_.empty())
        return false;
    for (std::size_t i = 0; i < views_.size() && i < charts_.size(); ++i) {
        chart_explorer* explorer = explore(views_[i]);
        if (explorer->x_axis() == nullptr || explorer->y_axis() == nullptr)
            continue;
        double y_low = std::numeric_limits<double>::infinity(), y_high = -y_low;
        for (const chart_line& line : charts_[i].lines)
            for (const chart_point& p : line.points)
                if (p.x >= low && p.x <= high) {
                    y_low = std::min(y_low, p.y);
                    y_high = std::max(y_high, p.y);
                }
        explorer->x_axis()->setRange(low, high);
        // No point in the range: the y axis stays as it was.
        if (y_low <= y_high) {
            const auto [from, to] = padded_range(y_low, y_high, y_margin);
            explorer->y_axis()->setRange(from, to);
        }
    }
    return true;
}

void chart_panel::show_range_typed() {
    const std::string from = txt_x_from->text().toStdString();
    const std::string to = txt_x_to->text().toStdString();
    if (!is_number(from) || !is_number(to) || !show_x_range(val(from), val(to)))
        services().messages->beep();
}

void chart_panel::reset_view() {
    for (QChartView* view : views_)
        explore(view)->reset_view();
}

std::string chart_panel::description() const {
    std::string text;
    for (const chart_data& chart : charts_)
        if (!chart.run_description.empty() && text.find(chart.run_description) == std::string::npos)
            text += (text.empty() ? "" : "\n") + chart.run_description;
    return text.empty() ? run_description_ : text;
}

void chart_panel::save_data() {
    file_dialog_options options;
    options.title = "Save Data";
    options.purpose = file_purpose::overwrite;
    options.filter = "CSV File (*.csv)|*.csv|All Files (*.*)|*.*|";
    const file_choice choice = services().dialogs->open_file(window(), options);
    if (!choice.ok)
        return;
    // One file per chart: the axes, and so the columns, differ from chart to chart.
    for (std::size_t n = 1; n <= charts_.size(); ++n) {
        const std::string path = numbered_path(choice.path, n);
        try {
            write_whole_file(path, chart_csv(charts_[n - 1]));
        } catch (const run_error& e) {
            services().messages->show(window(), message_icon::exclamation, "Data Not Saved",
                                      "The data could not be saved to " + path + ": " +
                                          e.description);
            return;
        }
    }
}

void chart_panel::save_chart() {
    const picture_size& size = picture_sizes[std::clamp<int>(
        cmb_chart_size->currentIndex(), 0, static_cast<int>(std::size(picture_sizes)) - 1)];
    picture_options options;
    options.width = size.width;
    options.dpi = size.dpi;
    options.description = description();
    save_picture(pictures_, options);
}

picture_format picture_format_of(const std::string& path) {
    const QString name = to_qt(path);
    if (name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return picture_format::svg;
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return picture_format::pdf;
    return picture_format::png;
}

QByteArray picture_bytes(QWidget* widget, picture_format format,
                         const picture_options& options) {
    const QString title = options.title.empty() ? widget->window()->windowTitle()
                                                : to_qt(options.title);
    const QString description = to_qt(options.description);
    const auto [size, scale] = picture_geometry(widget, options);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case picture_format::svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        if (options.dpi > 0)
            generator.setResolution(options.dpi);
        generator.setTitle(title);
        generator.setDescription(description);
        QPainter painter(&generator);
        painter.scale(scale, scale);
        widget->render(&painter);
        break;
    }
    case picture_format::pdf: {
        const int dpi = options.dpi > 0 ? options.dpi : 96;
        QPdfWriter writer(&buffer);
        writer.setResolution(dpi);
        writer.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / dpi, size.height() * 72.0 / dpi),
                                     QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quillmark"));
        picture_options described = options;
        described.title = title.toStdString();
        writer.setDocumentXmpMetadata(xmp_metadata(described));
        QPainter painter(&writer);
        const double page_scale = static_cast<double>(writer.width()) / std::max(1, widget->width());
        painter.scale(page_scale, page_scale);
        widget->render(&painter);
        break;
    }
    case picture_format::png: {
        QImage image;
        if (options.width <= 0) {
            image = widget->grab().toImage();
        } else {
            image = QImage(size, QImage::Format_ARGB32);
            image.fill(Qt::white);
            const int dots_per_metre = static_cast<int>(std::lround(options.dpi / 0.0254));
            image.setDotsPerMeterX(dots_per_metre);
            image.setDotsPerMeterY(dots_per_metre);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(scale, scale);
            widget->render(&painter);
        }
        image.setText(QStringLiteral("Title"), title);
        if (!description.isEmpty())
            image.setText(QStringLiteral("Description"), description);
        image.setText(QStringLiteral("Software"), QStringLiteral("Quillmark"));
        image.save(&buffer, "PNG");
        break;
    }
    }
    return bytes;
}

void save_picture(QWidget* widget, const picture_options& options) {
    file_dialog_options dialog;
    dialog.title = "Save Chart";
    dialog.purpose = file_purpose::overwrite;
    dialog.filter = "PNG Image (*.png)|*.png|SVG Drawing (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf|";
    const file_choice choice = services().dialogs->open_file(widget->window(), dialog);
    if (!choice.ok)
        return;
    try {
        write_bytes(choice.path, picture_bytes(widget, picture_format_of(choice.path), options));
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
    explore(view)->chart_replaced();
}

} // namespace qm
