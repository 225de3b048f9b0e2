// The IR and Raman frequency table of a Gaussian 98 (or 03, 09, 16) frequency job: for every
// normal mode its frequency, IR intensity and Raman activity, as the texts Gaussian printed.
//
// The section read, after its heading (one line up to Gaussian 98, four from Gaussian 09,
// ending "... force constants (mDyne/A)," and " and normal coordinates:"):
//
//  reduced masses (AMU), force constants (mDyne/A) and normal coordinates:
//                      1                      2                      3
//                      A                      A                      B
//  Frequencies --   125.4074               137.3169               152.7789
//  Red. masses --     9.0243                15.9949                 4.8480
//  Frc consts  --     0.0836                 0.1777                 0.0667
//  IR Inten    --     0.0000                 0.0000                 0.4799
//  Raman Activ --     0.0000                 0.0000                 0.0000
//  Depolar     --     0.0000                 0.0000                 0.0000
//  Atom AN      X      Y      Z        X      Y      Z        X      Y      Z
//    1  24     0.00   0.00   0.00     0.00   0.00   0.00     0.06  -0.05   0.00
//  ... one line per atom, then the next block of up to three modes, or the section's end.
#pragma once

#include "conversion/gaussian_version.h"
#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qm {

struct frequency_row {
    std::string frequency;
    std::string ir_intensity;
    std::optional<std::string> raman_activity; // none when the job printed no Raman line
};

struct frequency_table {
    std::vector<frequency_row> rows;
    // Where the reader left the progress bar, for the writer to step on from.
    long long progress_maximum = 0;
    long long progress_value = 0;
};

// The first frequency section of the file in the layout above, with the version's heading.
// Error report "g98_freq_extract".
result_flag g98_freq_extract(const gaussian_version& version, const std::filesystem::path& input,
                             frequency_table& table, JobUi& ui);

// One line per mode: blank, frequency, 5 blanks, IR intensity, 5 blanks, Raman activity (a row
// without a Raman activity ends after the IR intensity); no heading. The progress bar steps on from where the reader left it.
void write_frequency_table(const std::filesystem::path& output, const frequency_table& table,
                           JobUi& ui);

} // namespace qm
