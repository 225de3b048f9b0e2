// Energy-gap fluctuations: the statistics, the correlation function and the spectral density
// of an energy-gap series U(t) (time in fs, energy in eV; the extraction's freqgapEV.k files
// as they are, CR LF and leading blanks, or any whitespace-separated two columns).
//
// With U(i), i = 0..N-1, at a uniform step dt (fs):
//   mean        U_ = (1/N) sum U(i),  dU(i) = U(i) - U_
//   variance    s^2 = (1/N) sum dU(i)^2 (eV^2),  skewness (1/N) sum dU(i)^3 / s^3
//   correlation C(k) = (1/N) sum over i = 0..N-1-k of dU(i) dU(i+k),  k = 0..M,
//               M = floor(max_lag / dt); damped C~(k) = C(k) exp(-k dt / tau_d) (C~ = C when
//               tau_d = 0); by Fourier transform (fft_correlation.h), O(N log N)
//   cosine transform (trapezoid rule), eV^2 fs:
//               I(w) = dt [C~(0)/2 + sum over k = 1..M-1 of C~(k) cos(w k dt) + C~(M) cos(w M dt)/2]
//   spectral density  J(w) = w I(w) / (k_B T), eV (written in cm^-1), w = 2 pi c nu in rad/fs
//   reorganisation energy  lambda = s^2 / (2 k_B T), and its build-up over the wavenumber grid
//               lambda(nu) = 1/(pi k_B T) x integral from 0 to w of I(w') dw' (trapezoid rule
//               over the grid), which is (1/pi) integral J/w dw and tends to C~(0) / (2 k_B T)
// on the grid nu = j step, j = 0..floor(nu_max / step), in cm^-1.
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct gap_fluctuation_settings {
    std::filesystem::path input;
    double temperature = 300;             // K
    std::optional<double> max_lag;        // fs; none: half the series' duration
    double damping = 0;                   // tau_d, fs; 0: none
    double wavenumber_max = 4000;         // cm^-1
    double wavenumber_step = 1;           // cm^-1
    std::filesystem::path correlation;    // CSV: time_fs, C, C/C(0); empty: not written
    std::filesystem::path spectral_density; // "nu J lambda(nu)" lines; empty: not written
};

inline constexpr std::string_view gap_fluctuations_title = "Energy Gap Fluctuations";
inline constexpr std::string_view gap_fluctuations_routine = "gap_fluctuations";
// Skewness beyond which the Gaussian statistics behind lambda = s^2/2kT are poor.
inline constexpr double skewness_warning = 0.3;

struct energy_gap_series {
    std::vector<double> energies; // eV
    double step = 0;              // fs
};

// A series that cannot be used as it stands: its text names the file and the line.
struct gap_series_problem {
    std::string text;
};

// Reads the two columns; blank lines are passed over. A line without two numbers, a time
// step that is not uniform (within 1e-6 of the first step) or fewer than three points is a
// gap_series_problem; an unreadable file is its run error.
energy_gap_series read_energy_gap_series(const std::filesystem::path& path);

struct gap_fluctuation_results {
    double mean = 0, sigma = 0, skewness = 0; // eV, eV, 1
    double step = 0;                          // dt, fs
    std::int64_t points = 0, max_lag = 0;     // N, M
    double reorganisation_energy = 0;         // lambda = s^2 / 2kT, eV
    std::vector<double> correlation;          // C(0..M), eV^2 (undamped)
    std::vector<double> wavenumbers;          // grid, cm^-1
    std::vector<double> spectral_density;     // J, cm^-1
    std::vector<double> cumulative_lambda;    // lambda(nu), cm^-1
};

// The statistics, C, J and lambda(nu) of a series; a problem (no lag to sum, an empty grid, a
// series without fluctuations) is a gap_series_problem.
gap_fluctuation_results analyse_energy_gap(const energy_gap_series& series,
                                           const gap_fluctuation_settings& settings);

// The two output files' texts.
std::string correlation_csv(const gap_fluctuation_results& r);
std::string spectral_density_text(const gap_fluctuation_results& r);
// The summary the run ends with (lines broken by LF CR), with the skewness warning when due.
std::string gap_fluctuation_summary(const gap_fluctuation_results& r);

enum class gap_fluctuation_outcome { completed, stopped };

// The whole run: reads, analyses, writes the outputs asked for (each by rename) and shows the
// summary (information icon, title "Energy Gap Fluctuations"). A problem with the series or
// the settings is an exclamation message of that title; any other failure the routine's
// error report. With `display`, a completed run gives what a window shows of it.
struct gap_fluctuation_display {
    std::vector<chart_data> charts; // C(t)/C(0) and J
    std::string summary;            // the summary's lines, broken by LF alone
};
gap_fluctuation_outcome run_gap_fluctuations(const gap_fluctuation_settings& settings, JobUi& ui,
                                             gap_fluctuation_display* display = nullptr);

} // namespace qm
