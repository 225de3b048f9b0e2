#include "platform/error_report.h"

#include <new>

namespace qm {

run_error as_run_error(const std::exception& failure) {
    if (const auto* known = dynamic_cast<const run_error*>(&failure))
        return *known;
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr)
        return run_error::from_number(7);
    return run_error(51, "Internal error (" + std::string(failure.what()) + ")");
}

std::string error_report_text(report_form form, const run_error& error, std::string_view routine) {
    std::string text = "Error (" + error.description;
    if (form == report_form::number_form)
        text += std::to_string(error.number);
    text += ") in (";
    text += routine;
    text += ") routine.";
    text += message_break;
    text += "Returning to main menu";
    if (form == report_form::long_form)
        text += ".\r\nIs this definately a UNIX formated text file?";
    return text;
}

void show_error_report(JobUi& ui, report_form form, const run_error& error,
                       std::string_view routine) {
    ui.error_report(error, error_report_title, error_report_text(form, error, routine));
}

} // namespace qm
