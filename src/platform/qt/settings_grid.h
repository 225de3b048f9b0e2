// The settings column of a tool window: rows of two cells, a file button beside the path it
// chose, a label beside its box (the label's shortcut goes to the box).
#pragma once

#include "platform/qt/window_layout.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include <initializer_list>
#include <utility>

namespace qm {

class settings_grid {
public:
    settings_grid() : grid_(new QGridLayout) {}

    void add_row(QWidget* left, QWidget* right) {
        grid_->addWidget(left, row_, 0);
        grid_->addWidget(right, row_++, 1);
    }
    void add_rows(std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
        for (const auto& [left, right] : rows)
            add_row(left, right);
    }
    void add_boxes(std::initializer_list<std::pair<QLabel*, QLineEdit*>> rows) {
        for (const auto& [label, box] : rows) {
            label->setBuddy(box);
            add_row(label, box);
        }
    }
    // Room, then a layout across both cells (the buttons at the foot of the column).
    void add_foot(QLayout* layout) {
        grid_->setRowStretch(row_++, 1);
        grid_->addLayout(layout, row_++, 0, 1, 2);
    }
    QGridLayout* layout() const { return grid_; }

private:
    QGridLayout* grid_;
    int row_ = 0;
};

// The page of a tool window with a chart: the settings column with Execute and Return at its
// foot, the chart beside it, the status line under both.
inline void lay_out_chart_tool(QWidget* window, settings_grid& settings, QPushButton* execute,
                               QPushButton* back, QWidget* chart, QLineEdit* status) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(execute);
    buttons->addWidget(back);
    settings.add_foot(buttons);
    auto* top = new QHBoxLayout;
    top->addLayout(settings.layout());
    top->addWidget(chart, 1);
    auto* column = new QVBoxLayout(scrolling_page(window));
    column->addLayout(top, 1);
    column->addWidget(status);
}

} // namespace qm
