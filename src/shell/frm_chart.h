// The charts of a tool's last run, in a window of their own: opened by the tool after a run
// (centred over it) and by its Show Chart button, saved as a picture on request, closed by its
// Close button. One chart window serves every tool: a tool's charts replace the ones shown.
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

#include <vector>

class QPushButton;

namespace qm {

class chart_panel;

class frm_chart : public QWidget {
    Q_OBJECT
public:
    explicit frm_chart(QWidget* parent = nullptr);

    chart_panel* chart_results;
    QPushButton* cmd_close;
};

// Shows `charts` in the chart window, titled after `tool` and centred over it.
frm_chart* show_charts(QWidget* tool, const std::vector<chart_data>& charts);

} // namespace qm
