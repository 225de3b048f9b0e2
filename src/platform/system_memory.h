// How much memory a job may count on: what it sizes its tables against before it allocates
// them, so a range too large for the computer is a clear message, not a failed allocation.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// The computer's physical memory, or less when this process is held to less (its address
// space limit, or the memory limit of its control group).
std::uint64_t system_memory();

// A size in bytes as people read it: "512 MB", "15.6 GB", "40 TB".
std::string memory_text(double bytes);

} // namespace qm
