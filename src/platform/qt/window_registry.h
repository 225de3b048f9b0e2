// Every window exists at most once: it is created on first use, shown by loading, and
// forgotten when it is unloaded (closed windows delete themselves). Every window remembers its
// settings between runs of the program; one that has settings offers "Reset Settings" on its
// context menu, which makes it again as it is made, with the defaults of its controls.
#pragma once

#include "platform/qt/window_layout.h"

#include <QPointer>
#include <QWidget>

#include <functional>
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
            adopt(std::type_index(typeid(W)), window, [] { return static_cast<QWidget*>(new W()); });
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

    // Deletes every window without running any close step (the program is ending); their
    // settings are remembered.
    void destroy_all();

    // Makes the window of that class again, in its place, as it is made: the settings it
    // remembers are forgotten and its controls hold their defaults. Its close step does not
    // run: the window stays open.
    void reset_settings(std::type_index type);

private:
    void adopt(std::type_index type, QWidget* window, std::function<QWidget*()> make);

    std::map<std::type_index, QPointer<QWidget>> windows_;
    std::map<std::type_index, std::function<QWidget*()>> makers_;
};

} // namespace qm
