// The excited-state extraction: for each of the first n roots, the state chosen in every file
// of the series, written as time series, with the status log on request.
#pragma once

#include "ev_extract/ev_charts.h"
#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <string>
#include <vector>

namespace qm {

enum class ev_outcome {
    completed,    // "Extraction Complete" was shown
    stopped,      // a message ended the job
    error_report, // the error report ended it; the window unloads itself
};

inline constexpr std::string_view ev_job_routine = "frm_ev_extract: cmd_execute_click";

// The lock a run holds in every folder it writes into (removed when it ends): a second run into
// the same folder would mix its files with ours.
inline constexpr std::string_view ev_lock_name = "quillmark.lock";

// Where the job runs: the status log and the TDM routines' files go to the working folder (the
// current folder), and the TDM alignment starts our fitting program, shipped with ours.
struct ev_job_place {
    std::filesystem::path working_folder = std::filesystem::current_path();
    std::filesystem::path fitting_program = default_fitting_program();

    static std::filesystem::path default_fitting_program();
};

// What a completed run left out: the files skipped (with their reasons) and the slots of
// any root with no state in the energy window.
struct ev_run_summary {
    struct skipped_file {
        std::string name, reason;
    };
    long long files = 0; // used slots of the series
    std::vector<skipped_file> skipped;
    long long empty_slots = 0; // counted once per root
};

// With `charts`, every root also adds its lines to them as its files are written; with
// `summary`, a completed run says what it left out.
ev_outcome ev_extract_job(const ev_settings& s, const file_series& series, JobUi& ui,
                          const ev_job_place& place = {}, ev_charts* charts = nullptr,
                          ev_run_summary* summary = nullptr);

} // namespace qm
