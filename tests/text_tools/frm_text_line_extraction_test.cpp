#include "shell/frm_Amber_Tools.h"
#include "text_tools/frm_text_line_extraction.h"

#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

struct line_window : test::tool_window<frm_text_line_extraction> {
    void SetUp() override { open<frm_Amber_Tools>("Command1"); }
    void numbers(const char* start, const char* every) {
        set("txt_Start_Line", start);
        set("txt_Frequency", every);
    }
};

TEST_F(line_window, OpensWithItsCaptionsAndOnlyInputEnabledAndReturnsToTheAmberMenu) {
    EXPECT_EQ(w->windowTitle(), "Text File Line Extraction Utility");
    expect_texts({{"cmd_Input", "Select &Input File"},
                  {"cmd_Output", "Select &Output File"},
                  {"cmd_Execute", "E&xecute"},
                  {"cmd_return", "&Return to Main Menu"},
                  {"txt_Start_Line", "1"},
                  {"txt_Frequency", "4"}});
    expect_enabled({"cmd_Output", "cmd_Execute"}, false);
    expect_return_to_menu();
}

TEST_F(line_window, ExecuteNeedsBothFilesAndTwoNumbersAboveZeroTypedAsDigits) {
    set("txt_Frequency", "5"); // typing before any file is chosen enables nothing
    services.dialogs.queue_cancel();
    click("cmd_Input");
    EXPECT_FALSE(enabled("cmd_Output")) << "a cancelled dialog changes nothing";
    choose("cmd_Input", "in.txt");
    EXPECT_TRUE(enabled("cmd_Output"));
    EXPECT_FALSE(enabled("cmd_Execute"));
    set("txt_Start_Line", "00");
    choose("cmd_Output", "out.txt");
    EXPECT_FALSE(enabled("cmd_Execute")) << "the output does not override a zero start line";
    numbers("01", "");
    EXPECT_FALSE(enabled("cmd_Execute"));
    type("txt_Frequency", "a.10\b0"); // digits and Backspace are typed; anything else beeps
    EXPECT_EQ(services.messages.beeps, 2);
    EXPECT_EQ(text("txt_Frequency"), "10");
    EXPECT_TRUE(enabled("cmd_Execute"));
}

TEST_F(line_window, ExecuteWritesTheLinesThenWaitsForANewInput) {
    test::write_file(dir / "in.txt", "1\n2\n3\n4\n5\n6\n7");
    choose("cmd_Input", "in.txt");
    choose("cmd_Output", "out.txt");
    numbers("3", "2");
    click("cmd_Execute");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "3\n5\n7\n");
    EXPECT_EQ(box(1), "Information: Job Finished: Extraction Completed.");
    expect_enabled({"cmd_Output", "cmd_Execute"}, false);
    set("txt_Frequency", "3");
    EXPECT_FALSE(enabled("cmd_Execute")) << "a new run starts with Select Input File";
    EXPECT_EQ(text("txt_Start_Line") + " " + w->input_path(), "3 " + (dir / "in.txt").string());
    // A failure leaves the window usable.
    choose("cmd_Input", "in.txt");
    choose("cmd_Output", "out.txt");
    std::filesystem::remove(dir / "in.txt");
    click("cmd_Execute");
    EXPECT_EQ(box(2),
              test::fatal("File not found53", "frm_text_line_extraction: cmd_execute_click"));
    EXPECT_TRUE(enabled("cmd_Execute"));
    EXPECT_TRUE(w->isVisible());
}

} // namespace
} // namespace qm
