#include "platform/qt/window_registry.h"

namespace qm {

window_registry& window_registry::instance() {
    static window_registry registry;
    return registry;
}

void window_registry::destroy_all() {
    auto windows = std::move(windows_);
    windows_.clear();
    for (auto& [type, window] : windows)
        delete window.data();
}

} // namespace qm
