// The time series of one root, written after all slots have been read. Every line ends with
// CR LF. B = data folder + output prefix; every name ends with "." and the root number:
//
//   B EV.k              time    energy (eV)                      print forms, 4 blanks between
//   B _SCF-Hartrees.k   time    SCF energy                       (with SCF energies)
//   B _SCF-EV.k         time    SCF energy x 27.2113834
//   B _SCF-rads-1.k     time    SCF energy x 27.2113834 x 1519267604873490
//   B _SCF-Cycles.k     time    SCF cycles                       (with SCF cycles)
//   B _TDM+EV.k         energy    |TDM| of the chosen state      text forms (with TDM data)
//   B m.k               energy x 1519267604873490, the first m slots, m = points, 2 points, ...
//   B TDMm.k            |TDM| for the same slots                (separate TDM files)
//
// The time of slot t is (t + time offset) x time step; B starts with the output folder instead
// of the data folder when one is given.
#pragma once

#include "ev_extract/ev_charts.h"
#include "ev_extract/ev_series_table.h"
#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "ev_extract/status_log.h"
#include "platform/job_ui.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr double hartree_to_ev = 27.2113834;
inline constexpr double ev_to_rad_per_s = 1519267604873490.0;

// B: the data folder (or the output folder) and the output prefix, each trimmed.
std::string output_base(const ev_settings& s, const file_series& series);

// The orbitals file of root k: B + ".orbitals.dat." + k.
inline constexpr std::string_view orbitals_part = ".orbitals.dat";

// B, `part` and "." k: the name of one of root k's files ("EV", ".orbitals.dat", ...).
std::string root_file_name(const ev_settings& s, const file_series& series, std::string_view part,
                           int k);

// Every file root k writes (the orbitals file included), in the order they are made.
std::vector<std::string> root_file_names(const ev_settings& s, const file_series& series, int k);

// The time written for slot t.
inline double slot_time(const ev_settings& s, long long t) {
    return static_cast<double>(t + s.time_offset) * s.time_step;
}

// Root k's slots by used slot (file_series::used_index): whether the slot has a line in root
// k's series (a slot left out has none; the others keep their times). The values are the
// table's.
struct root_series {
    std::vector<char> written;
};

void write_root_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, const root_series& values, status_log& log, JobUi& ui);

// Adds root k's line to each chart, one point per slot written.
void add_root_curves(ev_charts& charts, const ev_settings& s, const file_series& series,
                     const ev_series_table& table, int k, const root_series& values);

} // namespace qm
