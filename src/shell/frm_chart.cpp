#include "shell/frm_chart.h"

#include "platform/qt/chart_panel.h"
#include "platform/qt/remembered_settings.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_registry.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {
namespace {

// Room for each chart to be read (a chart is wider than high), and for the buttons under them.
constexpr QSize chart_room(720, 300);
constexpr int buttons_room = 60;

} // namespace

frm_chart::frm_chart(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_chart");
    chart_results = new chart_panel("chart_results");
    cmd_close = named(new QPushButton("&Close"), "cmd_close");
    chart_results->add_button(cmd_close);
    auto* column = new QVBoxLayout(this);
    column->addWidget(chart_results, 1);
    connect(cmd_close, &QPushButton::clicked, this, [this] { close(); });
}

frm_chart* show_charts(QWidget* tool, const std::vector<chart_data>& charts) {
    auto* window = window_registry::instance().load<frm_chart>(tool);
    window->setWindowTitle(tool->windowTitle() + " - Chart");
    window->chart_results->set_run_description(settings_summary(tool));
    window->chart_results->show_charts(charts);
    const auto count = static_cast<int>(std::max<std::size_t>(charts.size(), 1));
    window->resize(chart_room.width(), chart_room.height() * count + buttons_room);
    place_window(window, tool);
    window->raise();
    return window;
}

} // namespace qm
