// The line extraction window: what enables Execute, typed digits, and the run.
#include "shell/frm_Amber_Tools.h"
#include "text_tools/frm_text_line_extraction.h"

#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

struct line_window : test::tool_window<frm_text_line_extraction> {
    void SetUp() override { open<frm_Amber_Tools>("Command1"); }
};

TEST_F(line_window, ExecuteNeedsBothFilesAndTwoNumbersAboveZeroTypedAsDigits) {
    expect_enabled({"cmd_Output", "cmd_Execute"}, false);
    services.dialogs.queue_cancel();
    click("cmd_Input");
    EXPECT_FALSE(enabled("cmd_Output")) << "a cancelled dialog changes nothing";
    test::write_file(dir / "in.txt", "1\n2\n3\n4\n5\n6\n7");
    choose("cmd_Input", "in.txt");
    EXPECT_TRUE(enabled("cmd_Output"));
    EXPECT_FALSE(enabled("cmd_Execute"));
    set("txt_Start_Line", "00");
    choose("cmd_Output", "out.txt");
    EXPECT_FALSE(enabled("cmd_Execute")) << "the output does not override a zero start line";
    set("txt_Start_Line", "03");
    set("txt_Frequency", "");
    EXPECT_FALSE(enabled("cmd_Execute"));
    type("txt_Frequency", "a.2\b2"); // digits and Backspace are typed; anything else beeps
    EXPECT_EQ(services.messages.beeps, 2);
    EXPECT_EQ(text("txt_Frequency"), "2");
    click("cmd_Execute");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "3\n5\n7\n");
    expect_enabled({"cmd_Output", "cmd_Execute"}, false);
    set("txt_Frequency", "3");
    EXPECT_FALSE(enabled("cmd_Execute")) << "a new run starts with Select Input File";
    EXPECT_EQ(text("txt_Start_Line") + " " + w->input_path(), "03 " + (dir / "in.txt").string());
    expect_return_to_menu();
}

} // namespace
} // namespace qm
