#include "platform/system_memory.h"

#include "platform/number_form.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace qm {

std::uint64_t system_memory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    std::uint64_t limit = pages > 0 && page_size > 0 ? static_cast<std::uint64_t>(pages) *
                                                           static_cast<std::uint64_t>(page_size)
                                                     : UINT64_MAX;
    rlimit address_space{};
    if (getrlimit(RLIMIT_AS, &address_space) == 0 && address_space.rlim_cur != RLIM_INFINITY)
        limit = std::min<std::uint64_t>(limit, address_space.rlim_cur);
    // "max" when the group has no limit of its own.
    std::ifstream group("/sys/fs/cgroup/memory.max");
    std::uint64_t group_limit = 0;
    if (group >> group_limit && group_limit > 0)
        limit = std::min(limit, group_limit);
    return limit;
}

std::string memory_text(double bytes) {
    const char* units[] = {"bytes", "KB", "MB", "GB", "TB", "PB", "EB"};
    std::size_t unit = 0;
    while (bytes >= 1024 && unit + 1 < std::size(units)) {
        bytes /= 1024;
        ++unit;
    }
    return text_form(std::round(bytes * 10) / 10) + " " + units[unit];
}

} // namespace qm
