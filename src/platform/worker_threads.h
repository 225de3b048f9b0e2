// How many threads a job may split its work over: by default the CPUs this process may run on
// (its affinity, as taskset, cgroups or a batch system's allocation leave it), or the number
// the user gave (quillmark-cli --threads).
#pragma once

namespace qm {

unsigned worker_threads();
// 0 goes back to the default.
void set_worker_threads(unsigned count);

} // namespace qm
