// The excited-state extraction: for each of the first n roots, the state chosen in every file
// of the series, written as time series, with the status log on request.
#pragma once

#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "platform/job_ui.h"

#include <filesystem>

namespace qm {

enum class ev_outcome {
    completed,    // "Extraction Complete" was shown
    stopped,      // a message ended the job
    error_report, // the error report ended it; the window unloads itself
};

inline constexpr std::string_view ev_job_routine = "frm_ev_extract: cmd_execute_click";

// `log_path`: where the status log goes (execution_status.dat in the current folder).
ev_outcome ev_extract_job(const ev_settings& s, const file_series& series, JobUi& ui,
                          const std::filesystem::path& log_path = "execution_status.dat");

} // namespace qm
