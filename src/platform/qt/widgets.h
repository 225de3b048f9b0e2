// Small helpers every window uses to build and reset its controls.
#pragma once

#include <QProgressBar>
#include <QRadioButton>
#include <QString>
#include <QWidget>

#include <initializer_list>

namespace qm {

// Controls carry their program name as object name, so tests and screenshots find them.
template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Leaves none of the option buttons selected (an exclusive group never lets that happen by a
// click, but the program may).
inline void clear_options(std::initializer_list<QRadioButton*> options) {
    for (QRadioButton* option : options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

// A job's progress bar: empty, its percentage left to the labels at its ends.
inline QProgressBar* progress_bar(const char* name, int maximum) {
    auto* bar = named(new QProgressBar, name);
    bar->setTextVisible(false);
    bar->setRange(0, maximum);
    bar->setValue(0);
    return bar;
}

inline void set_enabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

} // namespace qm
