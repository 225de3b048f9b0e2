#include "platform/worker_threads.h"

#include <atomic>
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

} // namespace qm
