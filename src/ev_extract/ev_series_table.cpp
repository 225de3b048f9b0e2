#include "ev_extract/ev_series_table.h"

#include "ev_extract/file_text.h"
#include "platform/number_form.h"
#include "platform/system_memory.h"

#include <algorithm>

namespace qm {
namespace {

// Per used slot, whatever the roots: its parse result's place, its energies, SCF values,
// structure, aligned TDMs and output lines (a few hundred bytes, rounded up).
constexpr double bytes_per_file = 512;
// Per state searched: its transition dipole in the table; and, in each of the files parsed
// ahead of the slot being processed, its parsed record and dipole.
constexpr double bytes_per_state = 3 * sizeof(double);
constexpr double bytes_per_parsed_state = sizeof(excited_state) + 3 * sizeof(double);
constexpr double files_parsed_ahead = 64;

std::string counted(double n, const char* one, const char* many) {
    return text_form(n) + " " + (n == 1 ? one : many);
}

} // namespace

double ev_memory_needed(double files, double roots, double states) {
    return files * (bytes_per_file + roots * sizeof(std::int32_t) + states * bytes_per_state) +
           std::min(files, files_parsed_ahead) * states * bytes_per_parsed_state +
           worker_text_memory();
}

std::optional<std::string> ev_memory_refusal(double files, double roots, double states) {
    const double needed = ev_memory_needed(files, roots, states);
    const auto limit = static_cast<double>(system_memory());
    if (needed <= limit)
        return std::nullopt;
    return "The tables for " + counted(files, "file", "files") + ", " +
           counted(roots, "root", "roots") + " and " + counted(states, "state", "states") +
           " searched need " + memory_text(needed) + ", more than the " + memory_text(limit) +
           " of memory this computer has.";
}

} // namespace qm
