#include "shell/frm_init.h"
#include "units/frm_time_conversion.h"

#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

const std::string sample = "Run 7:  0 days  1 hours  2 minutes  3.5 seconds";
const auto units = {"opt_seconds", "opt_minutes", "opt_hours", "opt_days"};

struct time_window : test::tool_window<frm_time_conversion> {
    void SetUp() override { open<frm_init>("cmd_time_conversion"); }
};

// A failed run leaves the window as usable as a good one.
TEST_F(time_window, EachChoiceEnablesTheNextStepAndExecuteConvertsAgainAndAgain) {
    expect_enabled({"cmd_output", "frm_output", "cmd_execute"}, false);
    services.dialogs.queue_cancel();
    click("cmd_input");
    EXPECT_FALSE(enabled("cmd_output")) << "a cancelled dialog changes nothing";
    test::write_file(dir / "in.txt", sample + "\n1 days 2 hours 3 minutes ? seconds\n");
    choose("cmd_input", "in.txt");
    expect_enabled(units, false);
    choose("cmd_output", "out.txt");
    expect_enabled(units, true);
    EXPECT_FALSE(enabled("cmd_execute"));
    click("opt_days");
    click("cmd_execute");
    EXPECT_EQ(box(1), test::fatal("Type mismatch", "frm_time_conversion submodule: convert"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt")) << "a failed run leaves no partial file";
    test::write_file(dir / "in.txt", "header\n" + sample + "\n");
    click("opt_seconds");
    click("cmd_execute");
    EXPECT_EQ(test::read_file(dir / "out.txt"), " " + sample + "\n 3723.5  Seconds\n\n");
    EXPECT_EQ(box(2), "Information: Conversion Complete: Conversion Completed");
    expect_enabled({"cmd_input", "cmd_output", "opt_minutes", "cmd_execute"}, true);
    expect_return_to_menu("cmd_main_menu");
}

} // namespace
} // namespace qm
