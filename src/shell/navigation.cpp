#include "shell/navigation.h"

#include "shell/frm_init.h"

#include <QTimer>
#include <QWidget>

namespace qm {

void leave_main_menu() {
    if (frm_init* menu = window_registry::instance().find<frm_init>()) {
        menu->hide();
        menu->timer_pic_change->stop();
    }
}

void return_to_main_menu(QWidget* window) {
    // The timer first: the window's close step then shows a menu whose pictures move again.
    if (frm_init* menu = window_registry::instance().find<frm_init>())
        menu->timer_pic_change->start();
    window->close();
}

void show_main_menu() {
    // Loading leaves the timer as it is: after the close box the pictures stay still.
    window_registry::instance().load<frm_init>();
}

} // namespace qm
