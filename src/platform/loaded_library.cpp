#include "platform/loaded_library.h"

#include <dlfcn.h>

namespace qm {

loaded_library::loaded_library(const char* file, const char* what) {
    handle_ = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        failure_ = std::string(what) + " (" + file +
                   ") could not be loaded: " + (reason != nullptr ? reason : "unknown reason");
    }
}

void* loaded_library::address(const char* name) const {
    return handle_ == nullptr ? nullptr : ::dlsym(handle_, name);
}

} // namespace qm
