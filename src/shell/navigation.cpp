#include "shell/navigation.h"

#include "shell/frm_init.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace qm {

QWidget* main_menu() {
    return window_registry::instance().find<frm_init>();
}

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

void arrange_sub_menu(QWidget* sub_menu, std::initializer_list<QPushButton*> buttons,
                      QPushButton* return_button) {
    auto* column = new QVBoxLayout(sub_menu);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QPushButton* button : buttons) {
        button->setMinimumWidth(320);
        column->addWidget(button);
    }
    column->addWidget(return_button);
    return_button->setMinimumWidth(320);
    QObject::connect(return_button, &QPushButton::clicked, sub_menu,
                     [sub_menu] { return_to_main_menu(sub_menu); });
}

void show_main_menu() {
    // Loading leaves the timer as it is: after the close box the pictures stay still.
    window_registry::instance().load<frm_init>();
}

} // namespace qm
