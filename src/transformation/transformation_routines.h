// The TDM routines that run after an extraction: raw TDMs with their angle to the first TDM,
// the angle between the TDMs of two roots, and the alignment of every TDM onto the first
// structure by RMS fitting through our fitting program. Their files go to the working folder.
#pragma once

#include "ev_extract/ev_series_table.h"
#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "ev_extract/status_log.h"
#include "platform/job_ui.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct tdm_context {
    const ev_series_table& table;
    const ev_settings& settings;
    const file_series& series;
    status_log& log;
    JobUi& ui;
    std::filesystem::path folder;          // the working folder
    std::filesystem::path fitting_program; // our rmsfit
    std::chrono::milliseconds fit_time_limit{120000};
};

using vector3 = std::array<double, 3>;

// The angle between two TDMs in degrees; TDMs parallel or anti-parallel to rounding give
// exactly 0 or 180. NaN when a TDM has zero length.
double tdm_angle_degrees(const vector3& a, const vector3& b);

// Every file the three routines may write for these settings, in `folder`.
std::vector<std::filesystem::path> tdm_file_names(const ev_settings& s,
                                                  const std::filesystem::path& folder);

void output_raw_tdms(const tdm_context& c);
void measure_tdm_angles1(const tdm_context& c);

enum class transform_outcome { done, stopped, error_report };
transform_outcome transform_tdms(const tdm_context& c);

// The coordinate file the fitting program reads: empty title, atom count in 5 columns, then
// six 12-column values ("##0.0000000" right-justified in 11 after one blank) per line.
std::string amber_coordinates(const std::vector<structure_atom>& atoms);
// The fitting program's control input.
std::string rmsfit_control();
// The 3x3 matrix of a complete fort.55 (three lines of three 12-character fields); nullopt
// while the file is incomplete. A complete line that is not three numbers is "Type mismatch"
// (13), its description naming `source` and the row.
std::optional<std::array<vector3, 3>> read_rotation(const std::string& text,
                                                    std::string_view source = "fort.55");

inline constexpr std::string_view transform_routine = "frm_ev_extract: transform_tdms";

} // namespace qm
