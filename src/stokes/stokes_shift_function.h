// The time-dependent Stokes shift function of a spectral density, the step after the time
// dependent Stokes shift window's read. From the table's rows (nu_j, J_j): column 1 the
// wavenumber (cm^-1), column 2 the spectral density, any unit; rows with nu = 0 are passed
// over. With w_j = 2 pi c nu_j (rad/fs) and trapezoid weights W_j over the remaining rows' own
// wavenumber spacing (cm^-1):
//
//   S(t)   = sum_j W_j (J_j / w_j) cos(w_j t) / sum_j W_j (J_j / w_j),  t = 0, step, .. t_max
//   lambda = (1/pi) sum_j W_j J_j / nu_j          (in the unit of J)
//
// the normalised solvation response and the reorganisation energy of the second-order
// cumulant, for which S(t) = C(t)/C(0) of the energy gap.
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"
#include "stokes/spectral_density.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct stokes_shift_function_settings {
    double t_max = 2000; // fs, included
    double t_step = 1;   // fs
};

struct stokes_shift_function {
    std::vector<double> times;  // fs
    std::vector<double> values; // S(t), S(0) = 1
    double reorganisation_energy = 0; // lambda, in the unit of the table's column 2
};

inline constexpr std::string_view stokes_shift_function_title = "Time Dependent Stokes Shift";
inline constexpr std::string_view stokes_shift_function_routine =
    "frm_tdss: cmd_compute_stokes_shift_click";

// A table or time grid that gives no S(t): the text says why.
struct stokes_shift_function_problem {
    std::string text;
};

stokes_shift_function compute_stokes_shift_function(const spectral_density_table& table,
                                                    const stokes_shift_function_settings& settings);

// The output file: CSV, "time_fs,s" and one line per time, LF.
std::string stokes_shift_function_csv(const stokes_shift_function& s);

// "Stokes shift function written to <file> - lambda = <value> (unit of the spectral density)"
std::string stokes_shift_function_status(const std::filesystem::path& output, double lambda);

// Computes S(t) of the complete rows, writes it to `output` (by rename) and shows the status
// line above. A problem is an exclamation message titled "Time Dependent Stokes Shift"; any
// other failure the routine's error report (number form). With `chart`, a completed run
// gives S(t).
bool run_stokes_shift_function(const spectral_density_table& table,
                               const stokes_shift_function_settings& settings,
                               const std::filesystem::path& output, JobUi& ui,
                               chart_data* chart = nullptr);

} // namespace qm
