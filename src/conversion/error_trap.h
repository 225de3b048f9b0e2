// The error trap of a conversion routine: an unexpected failure inside `body` is shown as the
// routine's error report (a failed element lookup as the lookup's own) and becomes the flag
// "reported".
#pragma once

#include "conversion/element_symbols.h"
#include "conversion/structure_record.h"
#include "platform/error_report.h"

#include <string_view>

namespace qm {

template <class Body>
result_flag trapped(JobUi& ui, std::string_view routine, report_form form, Body&& body) {
    result_flag flag = result_flag::reported;
    const bool ran = run_trapped(ui, form, routine, [&] {
        try {
            flag = body();
        } catch (const element_lookup_error& e) {
            show_error_report(ui, report_form::short_form, e, element_lookup_routine);
            flag = result_flag::reported;
        }
    });
    return ran ? flag : result_flag::reported;
}

} // namespace qm
