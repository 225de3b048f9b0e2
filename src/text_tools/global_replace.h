// Global search and replace: one or two literal search/replace pairs applied to a set of files,
// each changed file rewritten in place (optionally keeping the previous version as ".bak").
//
// Replacement passes: every pass replaces the first occurrence of search 1 (looked for from the
// start of the current text), then the first occurrence of search 2, until a pass replaces
// nothing. A replacement can therefore create an occurrence that a later pass replaces
// ("ab" -> "a" on "abbb" makes 3 replacements and leaves "a").
#pragma once

#include "platform/job_ui.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct replace_pair {
    std::string search; // empty: the pair is not used
    std::string replace;
};

struct replace_settings {
    std::vector<std::string> files; // full paths, in the order they are processed
    replace_pair pair1, pair2;
    bool backups = false; // keep each changed file's previous version as <path>.bak
};

struct replace_outcome {
    std::string text;
    std::int64_t replacements = 0;
    // The passes do not come to an end (the replacements keep recreating a search text):
    // `text` is then meaningless and the file must stay as it was.
    bool endless = false;
};

// The passes on one text. Their cost is proportional to the text plus the work each
// replacement touches, not to the text times the replacements. Past `limit` replacements the
// text counts as endless (no real file needs that many: see replacement_limit).
replace_outcome apply_replacements(std::string_view text, const replace_pair& pair1,
                                   const replace_pair& pair2,
                                   std::optional<std::int64_t> limit = std::nullopt);

// The most replacements a text of `size` bytes may take with these pairs before it counts as
// endless.
std::int64_t replacement_limit(std::size_t size, const replace_pair& pair1,
                               const replace_pair& pair2);

struct replace_result {
    bool completed = false; // the completion message was shown
    std::int64_t replacements = 0;
    std::int64_t files_changed = 0;
    std::vector<std::string> refused; // files left as they were because the passes never end
};

inline constexpr std::string_view replace_routine = "frm_global_replace: cmd_execute_click";

// The run: every file in turn; after each, the progress value is the file index, the counts
// show "Files Processed = i" and "Files Remaining = n - i" and the status
// "Replacements Made = r". Ends with "Process Complete", or an ErrorReport (number form) on a
// run-time failure; files already processed keep their new contents.
replace_result replace_in_files(const replace_settings& settings, JobUi& ui);

} // namespace qm
