// The comma-separated tables an extraction writes on request, for pandas, R, spreadsheets and
// gnuplot: LF line ends, one header line naming each column with its unit, values as printed
// in the Gaussian output (never rounded again), empty cells where a value does not exist.
//
//   results table  one row per file and root:
//     file_number,file,time_fs,root,state,label,energy_ev,wavelength_nm,osc_strength,
//     tdm_x_au,tdm_y_au,tdm_z_au,tdm_au,scf_hartree,scf_cycles,status
//   states table   one row per excited state read in the root range, whatever its
//                  multiplicity (the input of an ensemble spectrum):
//     file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,osc_strength,
//     tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root
//
// time_fs is the slot's time as the time series write it and tdm_au the length of (X, Y, Z),
// both computed, so in their shortest round-trip form; status is "ok", "no state in window" or
// "skipped: " and the reason. Both are written under a new name and renamed into place when
// the job completes, so a stopped job leaves no half table.
#pragma once

#include "ev_extract/ev_series_table.h"
#include "ev_extract/ev_settings.h"
#include "ev_extract/excited_state_parser.h"
#include "ev_extract/file_series.h"
#include "platform/output_file.h"

#include <memory>
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view results_table_header =
    "file_number,file,time_fs,root,state,label,energy_ev,wavelength_nm,osc_strength,tdm_x_au,"
    "tdm_y_au,tdm_z_au,tdm_au,scf_hartree,scf_cycles,status\n";
inline constexpr std::string_view states_table_header =
    "file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,osc_strength,"
    "tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root\n";

class results_tables {
public:
    // Opens the tables the settings name (none, one or both).
    results_tables(const ev_settings& s, const file_series& series);

    // Slot f once every root has chosen its state in it.
    void add_read(long long f, const parsed_output& parsed, const ev_series_table& table);
    // Slot f, left out for `reason`: a row per root, no states.
    void add_skipped(long long f, std::string_view reason);
    // Renames the finished tables into place.
    void commit();

private:
    std::string slot_cells(long long f) const;

    const ev_settings& s_;
    const file_series& series_;
    std::unique_ptr<output_file> results_, states_;
};

} // namespace qm
