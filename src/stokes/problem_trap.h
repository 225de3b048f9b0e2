// The error trap of the spectrum, fluctuation and Stokes shift function jobs: an input or a
// setting that gives no result is a problem the user can mend, told in one exclamation
// message; anything else is the routine's error report.
#pragma once

#include "platform/error_report.h"

#include <string>
#include <string_view>

namespace qm {

// Runs `body`; a `Problem` (a struct with a `text`) it throws is shown in the status line and
// as one exclamation message titled `title`, any other failure as the routine's error report
// in `form`. True when `body` ran to its end.
template <class Problem, class Body>
bool run_trapping_problems(JobUi& ui, report_form form, std::string_view routine,
                           std::string_view title, Body&& body) {
    std::string problem;
    const bool done = run_trapped(ui, form, routine, [&] {
        try {
            body();
        } catch (const Problem& p) {
            problem = p.text;
        }
    });
    if (!done)
        return false;
    if (!problem.empty()) {
        ui.status(problem);
        ui.message(message_icon::exclamation, title, problem);
        return false;
    }
    return true;
}

} // namespace qm
