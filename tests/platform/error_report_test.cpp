// The error report's text in each form, for run errors and other failures.
#include "platform/error_report.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace qm {
namespace {

// The three forms, and the trap's number kept apart from a description that ends in a digit.
TEST(ErrorReport, TheThreeFormsAndATrapWithoutError) {
    const auto failure = [](const auto& e) { return std::make_exception_ptr(e); };
    const auto number = [](int n) { return std::make_exception_ptr(run_error::from_number(n)); };
    const std::tuple<report_form, std::exception_ptr, std::string, std::string> cases[] = {
        {report_form::short_form, number(53), "File not found", ""},
        {report_form::number_form, number(53), "File not found53", ""},
        {report_form::long_form, number(62), "Input past end of file",
         ".\r\nIs this definately a UNIX formated text file?"},
        {report_form::short_form, failure(run_error(0, "")), "", ""},
        {report_form::number_form, failure(std::bad_alloc()), "Out of memory7", ""},
        {report_form::number_form, failure(std::out_of_range("index 3 >= size 3")),
         "Internal error (index 3 >= size 3)51", ""}};
    for (const auto& [form, error, description, tail] : cases) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            EXPECT_EQ(error_report_text(form, as_run_error(e), "r"),
                      "Error (" + description + ") in (r) routine.\n\rReturning to main menu" +
                          tail);
        }
    }
}

} // namespace
} // namespace qm
