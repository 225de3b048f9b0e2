// Checks of a job that ended in its error report.
#pragma once

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::test {

// The text of the one error report the job showed, after checking its icon and title and that
// the normal pointer is back.
inline std::string only_report(const recording_ui& ui) {
    EXPECT_FALSE(ui.busy_now);
    if (ui.messages.size() != 1)
        return "not one message but " + std::to_string(ui.messages.size());
    EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
    EXPECT_EQ(ui.messages[0].title, "Fatal - Error");
    return ui.messages[0].text;
}

} // namespace qm::test
