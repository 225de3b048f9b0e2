// The ErrorReport: the message box that tells the user a routine met an unexpected failure.
//
//   short   Error (<description>) in (<routine>) routine.<LF CR>Returning to main menu
//   number  Error (<description><number>) in (<routine>) routine.<LF CR>Returning to main menu
//   long    Error (<description>) in (<routine>) routine.<LF CR>Returning to main menu.<CR LF>
//           Is this definately a UNIX formated text file?
#pragma once

#include "platform/job_ui.h"
#include "platform/run_error.h"

#include <exception>
#include <string>
#include <string_view>

namespace qm {

enum class report_form { short_form, number_form, long_form };

inline constexpr std::string_view error_report_title = "Fatal - Error";

std::string error_report_text(report_form form, const run_error& error, std::string_view routine);

// Shows the report (exclamation icon, title "Fatal - Error").
void show_error_report(JobUi& ui, report_form form, const run_error& error,
                       std::string_view routine);

// The run error a failure becomes at the edge of a job: a run error as itself, exhausted
// memory as "Out of memory" (7), anything else, which would be our own fault, as "Internal
// error" (51) with its text in brackets, so the report's error number never runs into it.
run_error as_run_error(const std::exception& failure);

// The error trap of a job: runs `body`; a failure inside it becomes the routine's report in
// `form` (see as_run_error), never a crash. True when `body` ran to its end.
template <class Body>
bool run_trapped(JobUi& ui, report_form form, std::string_view routine, Body&& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        show_error_report(ui, form, as_run_error(e), routine);
    }
    return false;
}

} // namespace qm
