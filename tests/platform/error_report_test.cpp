#include "platform/error_report.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace qm {
namespace {

TEST(ErrorReport, TheThreeFormsAndATrapWithoutError) {
    const run_error missing = run_error::from_number(53);
    EXPECT_EQ(error_report_text(report_form::short_form, missing, "xyz_extract"),
              "Error (File not found) in (xyz_extract) routine.\n\rReturning to main menu");
    EXPECT_EQ(
        error_report_text(report_form::number_form, missing, "frm_ev_extract: cmd_execute_click"),
        "Error (File not found53) in (frm_ev_extract: cmd_execute_click) routine.\n\r"
        "Returning to main menu");
    EXPECT_EQ(error_report_text(report_form::long_form, run_error::from_number(62), "g98_extract"),
              "Error (Input past end of file) in (g98_extract) routine.\n\r"
              "Returning to main menu.\r\nIs this definately a UNIX formated text file?");
    EXPECT_EQ(error_report_text(report_form::short_form, run_error(0, ""), "number_element"),
              "Error () in (number_element) routine.\n\rReturning to main menu");
}

TEST(ErrorReport, trapTurnsEveryFailureIntoAReportWhoseNumberStandsApart) {
    const std::pair<std::exception_ptr, const char*> failures[] = {
        {std::make_exception_ptr(run_error::from_number(62)), "Input past end of file62"},
        {std::make_exception_ptr(std::bad_alloc()), "Out of memory7"},
        // A text of the library's own that ends in a digit stays apart from the number.
        {std::make_exception_ptr(std::out_of_range("index 3 >= size 3")),
         "Internal error (index 3 >= size 3)51"}};
    for (const auto& [failure, description] : failures) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            EXPECT_EQ(error_report_text(report_form::number_form, as_run_error(e), "r"),
                      "Error (" + std::string(description) +
                          ") in (r) routine.\n\rReturning to main menu");
        }
    }
}

// The other classic texts stand in the reports that the tests of this folder compare.
TEST(RunError, ClassicNumbersAndTexts) {
    EXPECT_EQ(run_error::from_number(5).description, "Invalid procedure call or argument");
    EXPECT_EQ(run_error::from_number(58).description, "File already exists");
}

} // namespace
} // namespace qm
