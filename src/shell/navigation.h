// How windows are opened and left.
//
//   main menu button   hide the main menu, stop its picture timer, load the target
//   sub-menu button    load the tool, then hide the sub-menu
//   Return             (tools of the main menu and sub-menus) start the picture timer again,
//                      then unload the window
//   unload step        every window shows the window it was opened from; leaving by the
//                      close box runs only this step, so the pictures stay still
#pragma once

#include "platform/qt/window_registry.h"

#include <QCloseEvent>

#include <initializer_list>

class QPushButton;
class QWidget;

namespace qm {

// The main menu when it is loaded, else nullptr.
QWidget* main_menu();

// The main menu's part of opening a window from it: hide the menu, stop its pictures.
void leave_main_menu();

// Return button of a window opened from the main menu: pictures on again, then unload.
void return_to_main_menu(QWidget* window);

// The unload step of a window opened from the main menu: show the main menu.
void show_main_menu();

// Lays out a sub-menu's buttons in one column, top to bottom, and wires its Return button.
void arrange_sub_menu(QWidget* sub_menu, std::initializer_list<QPushButton*> buttons,
                      QPushButton* return_button);

template <class W> W* open_from_main_menu() {
    const QWidget* menu = main_menu();
    leave_main_menu();
    return window_registry::instance().load<W>(menu);
}

// The close step of a tool window: refused while its job still draws on the window;
// otherwise its unload step runs (showing the window it was opened from) and the window goes.
template <class UnloadStep>
void close_tool_window(QCloseEvent* event, bool job_running, UnloadStep&& unload_step) {
    if (job_running) {
        event->ignore();
        return;
    }
    unload_step();
    event->accept();
}

template <class W> W* open_from_sub_menu(QWidget* sub_menu) {
    W* tool = window_registry::instance().load<W>(sub_menu);
    sub_menu->hide();
    return tool;
}

} // namespace qm
