// The ErrorReport: the message box that tells the user a routine met an unexpected failure.
//
//   short   Error (<description>) in (<routine>) routine.<LF CR>Returning to main menu
//   number  Error (<description><number>) in (<routine>) routine.<LF CR>Returning to main menu
//   long    Error (<description>) in (<routine>) routine.<LF CR>Returning to main menu.<CR LF>
//           Is this definately a UNIX formated text file?
#pragma once

#include "platform/job_ui.h"
#include "platform/run_error.h"

#include <string>
#include <string_view>

namespace qm {

enum class report_form { short_form, number_form, long_form };

inline constexpr std::string_view error_report_title = "Fatal - Error";

std::string error_report_text(report_form form, const run_error& error, std::string_view routine);

// Shows the report (exclamation icon, title "Fatal - Error").
void show_error_report(JobUi& ui, report_form form, const run_error& error,
                       std::string_view routine);

} // namespace qm
