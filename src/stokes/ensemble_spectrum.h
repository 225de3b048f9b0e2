// The ensemble absorption or emission spectrum of a trajectory's excited states: every state
// i of every snapshot broadened by a line shape of unit area and weighted by its oscillator
// strength f_i, averaged over the N snapshots:
//
//   S(E) = (1/N) sum_i f_i g(E - E_i)                        (per eV; E in eV)
//   Gaussian    g(x) = exp(-x^2 / (2 s^2)) / (s sqrt(2 pi)),  s = FWHM / (2 sqrt(2 ln 2))
//   Lorentzian  g(x) = (gamma / pi) / (x^2 + gamma^2),        gamma = FWHM / 2
//   epsilon(E) = S(E) / (4.319e-9 x 8065.543937)              (L mol^-1 cm^-1)
//
// on the grid E = from + j step, j = 0, 1, ... while E <= to + step/2. The input is the states
// table of the extraction (a CSV read by its header names: energy_ev, osc_strength,
// chosen_as_root, and file or file_number to count the snapshots) or any text of two columns,
// energy (eV) and oscillator strength.
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

enum class line_shape { gaussian, lorentzian };
// Every state of the table, or only those chosen as a root in their file.
enum class state_choice { all, chosen };

struct spectrum_settings {
    std::filesystem::path input;
    state_choice states = state_choice::all;
    line_shape shape = line_shape::gaussian;
    double fwhm = 0.2;           // eV
    std::optional<double> from;  // eV; none: lowest E_i - 3 FWHM
    std::optional<double> to;    // eV; none: highest E_i + 3 FWHM
    double step = 0.005;         // eV
    std::int64_t snapshots = 1;  // N of a two-column file
    std::filesystem::path output;      // the spectrum, CSV; empty: not written
    std::filesystem::path stokes_file; // "THz intensity" lines for the Stokes shift window
};

inline constexpr std::string_view spectrum_title = "Spectrum from Excited States";
inline constexpr std::string_view spectrum_routine = "ensemble_spectrum";
inline constexpr std::string_view spectrum_csv_header =
    "energy_ev,wavelength_nm,wavenumber_cm-1,oscillator_density_per_ev,"
    "epsilon_l_mol-1_cm-1,intensity";

struct excited_state_line {
    double energy = 0;       // eV
    double oscillator = 0;   // f
};

struct spectrum_states {
    std::vector<excited_state_line> states;
    std::int64_t snapshots = 0; // N
};

// An input or settings that give no spectrum: the text names the file and line where there is
// one.
struct spectrum_problem {
    std::string text;
};

// The states the settings ask for and the number of snapshots; an unreadable file is its
// run error, a damaged one a spectrum_problem.
spectrum_states read_spectrum_states(const spectrum_settings& settings);

struct ensemble_spectrum {
    std::vector<double> energies; // grid, eV
    std::vector<double> density;  // S, per eV
    double peak = 0;              // max S
};

ensemble_spectrum broaden_states(const spectrum_states& states, const spectrum_settings& settings);

std::string spectrum_csv(const ensemble_spectrum& s);
// One line per grid point: frequency in THz and intensity S / max S, one blank apart, so the
// peak's line holds exactly 1, as the Stokes shift window finds it.
std::string stokes_spectrum_text(const ensemble_spectrum& s);

enum class spectrum_outcome { completed, stopped };

// The whole run: reads, broadens, writes the files asked for (each by rename) and shows
// "<n> states of <N> snapshots, peak at <E> eV (<nm> nm)" (information, titled as the window).
// With `chart`, a completed run gives the curve (intensity) over the states' sticks (f / max f).
spectrum_outcome run_spectrum(const spectrum_settings& settings, JobUi& ui,
                              chart_data* chart = nullptr);

} // namespace qm
