// How many threads a job may split its work over: by default the CPUs this process may run on
// (its affinity, as taskset, cgroups or a batch system's allocation leave it), or the number
// the user gave (quillmark-cli --threads).
#pragma once

#include <cstddef>
#include <functional>

namespace qm {

unsigned worker_threads();
// 0 goes back to the default.
void set_worker_threads(unsigned count);

// Runs body(first, last) over [0, count) split into one contiguous share per worker thread,
// the calling thread taking the first; returns when all are done. Each index is handled by
// exactly one call, so a body that writes only its own indices gives the same result with any
// number of threads. With `serial` (too little work to share) one call does all.
void for_each_share(std::size_t count, bool serial,
                    const std::function<void(std::size_t first, std::size_t last)>& body);

} // namespace qm
