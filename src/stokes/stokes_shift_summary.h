// Stokes shift and reorganisation energy from the two spectra of the steady-state spectrum
// program, "absfq.dat" and "emisfq.dat" in one data folder. Each line of a spectrum holds a
// frequency in THz and an intensity. The Stokes shift is the distance between the absorption
// and the emission peak (the line of intensity exactly 1), the reorganisation energy the
// distance between the intensity-weighted mean energies of the two spectra, both in eV. One
// line per run is appended to a summary file, so that many folders build up one table.
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

struct stokes_shift_settings {
    // The folder holding the spectra, with its final separator: the file names are joined to
    // it as they stand.
    std::string data_path;
    std::filesystem::path summary;
};

inline constexpr std::string_view absorption_file_name = "absfq.dat";
inline constexpr std::string_view emission_file_name = "emisfq.dat";
inline constexpr std::string_view stokes_shift_routine =
    "frm_data_extraction1 submodule: cmd_Execute";
inline constexpr std::string_view stokes_shift_done_title = "Processing Complete";

// Sums of one spectrum, in the order of its lines.
struct spectrum_totals {
    double peak_energy = 0;  // energy of the last line of intensity exactly 1; 0 when none
    double weighted_sum = 0; // sum of intensity x energy
    double weight_sum = 0;   // sum of intensity
};

// Planck's constant in units of 10^-15 eV s: the factor of the THz rule below.
inline constexpr double planck_ev_fs = 4.13566727;

// Energy in eV of a frequency in THz: ((10^12 x nu) x 4.13566727) x 10^-15, in that order.
double thz_to_ev(double thz);
// Frequency in THz of an energy in eV, the inverse of that rule: E / 4.13566727e-3.
double ev_to_thz(double energy);

// Adds one spectrum line to the totals. The line starts with the frequency (blanks before it
// are skipped); every blank after it ends an intensity, read by Val from the text since the
// blank before it, and each intensity is added with the line's energy (a run of blanks adds
// intensities of 0, which change nothing). Overflow (6) when a value is beyond a double. With
// `points`, the line's energy and its intensity (its first field after the frequency) are
// added to them.
void add_spectrum_line(spectrum_totals& totals, std::string_view line,
                       std::vector<chart_point>* points = nullptr);

// The totals of a spectrum file; a file without lines is "Subscript out of range" (9).
spectrum_totals read_spectrum(const std::filesystem::path& path,
                              std::vector<chart_point>* points = nullptr);

// Intensity-weighted mean energy: "Division by zero" (11), or "Overflow" (6) for 0 / 0, when
// the intensities add up to 0.
double mean_energy(const spectrum_totals& totals);

// The completion message and the summary line (ending CR LF) of one run.
std::string stokes_shift_message(double stokes_shift, double reorganisation_energy);
std::string summary_line(std::string_view data_path, double stokes_shift,
                         double reorganisation_energy);

// Where the summary line goes. A Windows name (a drive letter, a backslash), such as the
// window's default "c:\QMMM_Summary.dat", would create a file of that very name in the current
// folder here: it stands for its last part in the current folder ("QMMM_Summary.dat" when
// nothing follows the last separator).
std::filesystem::path summary_destination(const std::filesystem::path& summary);

enum class stokes_shift_outcome { completed, error_report };

struct stokes_shift_result {
    stokes_shift_outcome outcome = stokes_shift_outcome::error_report;
    double stokes_shift = 0;
    double reorganisation_energy = 0;
};

// Reads both spectra, appends the summary line to summary_destination(), says where in the
// status ("Summary line appended to <full path>") and shows the completion message; any failure
// is the routine's error report (number form) and appends nothing. The summary is never one of
// the spectra: appending to a spectrum would spoil it for every later run ("File already
// open", 55). With `chart`, a completed run also gives both spectra (intensity against energy)
// with their peaks and the Stokes shift between them marked.
stokes_shift_result stokes_shift_summary(const stokes_shift_settings& settings, JobUi& ui,
                                         chart_data* chart = nullptr);

} // namespace qm
