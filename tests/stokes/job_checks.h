// Checks of what a job showed and wrote, for the tests of the jobs, their windows and commands.
#pragma once

#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::test {

// A message box in one line, as the command line prints it: "Critical: title: text".
template <class Box> std::string box_line(const Box& box) {
    const char* icon = box.icon == message_icon::information   ? "Information"
                       : box.icon == message_icon::exclamation ? "Exclamation"
                                                               : "Critical";
    return std::string(icon) + ": " + box.title + ": " + box.text;
}

// The one message box shown, in one line; how many there were when not one.
template <class Boxes> std::string only_box(const Boxes& shown) {
    return shown.size() == 1 ? box_line(shown[0]) : std::to_string(shown.size()) + " messages";
}

inline std::string report(const std::string& error, const std::string& routine) {
    return "Error (" + error + ") in (" + routine + ") routine.\n\rReturning to main menu";
}

// The one message box shown, as an error report's box "Fatal - Error" shows it.
inline std::string fatal(const std::string& error, const std::string& routine) {
    return "Exclamation: Fatal - Error: " + report(error, routine);
}

// The text of the one error report the job showed, after checking its icon and title and that
// the normal pointer is back.
inline std::string only_report(const recording_ui& ui) {
    EXPECT_FALSE(ui.busy_now);
    const std::string line = only_box(ui.messages);
    const std::string head = "Exclamation: Fatal - Error: ";
    EXPECT_EQ(line.substr(0, head.size()), head);
    return line.substr(std::min(head.size(), line.size()));
}

inline std::string repeated(int count, const std::string& text) {
    return count > 0 ? text + repeated(count - 1, text) : "";
}

inline cli_run run_on(const char* subcommand, const std::filesystem::path& in,
                      const std::filesystem::path& out, std::vector<std::string> options = {}) {
    options.insert(options.begin(), {subcommand, "--input", in.string(), "--output", out.string()});
    return run_cli(options);
}

} // namespace qm::test
