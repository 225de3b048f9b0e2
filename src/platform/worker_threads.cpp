#include "platform/worker_threads.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <vector>
#include <sched.h>
#include <thread>

namespace qm {
namespace {

std::atomic<unsigned> chosen{0};

unsigned usable_cpus() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0)
        return static_cast<unsigned>(CPU_COUNT(&cpus));
    const unsigned all = std::thread::hardware_concurrency();
    return all > 0 ? all : 1;
}

} // namespace

unsigned worker_threads() {
    const unsigned count = chosen.load(std::memory_order_relaxed);
    return count > 0 ? count : usable_cpus();
}

void set_worker_threads(unsigned count) {
    chosen.store(count, std::memory_order_relaxed);
}

void for_each_share(std::size_t count, bool serial,
                    const std::function<void(std::size_t first, std::size_t last)>& body) {
    const std::size_t threads =
        serial ? 1 : std::max<std::size_t>(1, std::min<std::size_t>(worker_threads(), count));
    const std::size_t share = count == 0 ? 0 : (count + threads - 1) / threads;
    std::size_t next = share; // the calling thread takes the first share
    {
        std::vector<std::jthread> helpers;
        for (; next < count; next += share) {
            try {
                helpers.emplace_back(body, next, std::min(count, next + share));
            } catch (const std::system_error&) {
                break; // no more threads to be had: the calling thread does the rest
            }
        }
        body(0, std::min(count, share));
        if (next < count)
            body(next, count);
    } // joins
}

} // namespace qm
