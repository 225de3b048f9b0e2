// Every window exists at most once: it is created on first use, shown by loading, and
// forgotten when it is unloaded (closed windows delete themselves).
#pragma once

#include "platform/qt/window_layout.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <typeindex>

namespace qm {

class window_registry {
public:
    static window_registry& instance();

    // The loaded window of that class, or nullptr.
    template <class W> W* find() const {
        const auto it = windows_.find(std::type_index(typeid(W)));
        return it == windows_.end() ? nullptr : static_cast<W*>(it->second.data());
    }

    // Creates the window when it is not loaded yet (centred over `from`, the window it is
    // opened from), then shows it and brings it to the front.
    template <class W> W* load(const QWidget* from = nullptr) {
        W* window = find<W>();
        if (window == nullptr) {
            window = new W();
            window->setAttribute(Qt::WA_DeleteOnClose);
            windows_[std::type_index(typeid(W))] = window;
            press_buttons_on_return(window);
            place_window(window, from);
        }
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }

    // Unloads the window when it is loaded: its close step runs, then it is deleted.
    template <class W> void unload() {
        if (W* window = find<W>())
            window->close();
    }

    // Deletes every window without running any close step (the program is ending).
    void destroy_all();

private:
    std::map<std::type_index, QPointer<QWidget>> windows_;
};

} // namespace qm
