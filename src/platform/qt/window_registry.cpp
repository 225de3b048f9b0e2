#include "platform/qt/window_registry.h"

#include "platform/qt/remembered_settings.h"

#include <QAction>
#include <QCoreApplication>

namespace qm {

window_registry& window_registry::instance() {
    static window_registry registry;
    return registry;
}

void window_registry::adopt(std::type_index type, QWidget* window,
                            std::function<QWidget*()> make) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    windows_[type] = window;
    makers_[type] = std::move(make);
    press_buttons_on_return(window);
    remember_settings(window);
    if (!has_setting_controls(window))
        return;
    auto* reset = new QAction(QStringLiteral("Reset Settings"), window);
    reset->setObjectName(QStringLiteral("act_reset_settings"));
    window->addAction(reset);
    window->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Queued: the window that holds the menu is deleted by it.
    QObject::connect(
        reset, &QAction::triggered, qApp, [this, type] { reset_settings(type); },
        Qt::QueuedConnection);
}

void window_registry::reset_settings(std::type_index type) {
    const auto it = windows_.find(type);
    if (it == windows_.end() || it->second.isNull())
        return;
    QWidget* old = it->second.data();
    const QRect place = old->geometry();
    const QString name = old->objectName();
    // The settings are forgotten after the old window has gone: leaving, it writes them.
    delete old;
    forget_settings(name);
    QWidget* fresh = makers_[type]();
    adopt(type, fresh, makers_[type]);
    fresh->setGeometry(place);
    fresh->show();
    fresh->raise();
    fresh->activateWindow();
}

void window_registry::destroy_all() {
    auto windows = std::move(windows_);
    windows_.clear();
    for (auto& [type, window] : windows) {
        if (window.isNull())
            continue;
        save_settings(window.data());
        delete window.data();
    }
}

} // namespace qm
