// The error trap of a conversion routine: an unexpected failure inside `body` is shown as the
// routine's error report (a failed element lookup as the lookup's own) and becomes the flag
// "reported".
#pragma once

#include "conversion/element_symbols.h"
#include "conversion/structure_record.h"
#include "platform/error_report.h"

#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace qm {

template <class Body>
result_flag trapped(JobUi& ui, std::string_view routine, report_form form, Body&& body) {
    try {
        return body();
    } catch (const element_lookup_error& e) {
        show_error_report(ui, report_form::short_form, e, element_lookup_routine);
    } catch (const run_error& e) {
        show_error_report(ui, form, e, routine);
    } catch (const std::bad_alloc&) {
        show_error_report(ui, form, run_error::from_number(7), routine);
    } catch (const std::exception& e) {
        // Anything else is our own fault, but still the routine's report, never a crash.
        show_error_report(ui, form, run_error(51, "Internal error: " + std::string(e.what())),
                          routine);
    }
    return result_flag::reported;
}

} // namespace qm
