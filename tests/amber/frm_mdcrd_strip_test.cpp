#include "amber/frm_mdcrd_strip.h"
#include "amber/mdcrd_strip.h"
#include "shell/frm_Amber_Tools.h"

#include <QComboBox>

#include "stokes/tool_window_fixture.h"
#include "support/mdcrd_files.h"

namespace qm {
namespace {

const test::trajectory_shape four_atoms{4, 2, "  42.439  42.439  42.439"};

struct mdcrd_window : test::tool_window<frm_mdcrd_strip> {
    void SetUp() override { open<frm_Amber_Tools>("cmd_mdcrd"); }
    void numbers(const char* total, const char* start, const char* end) {
        set("txt_orig_no_atoms", total);
        set("txtStartAtom", start);
        set("txtEndAtom", end);
    }
    void files(const char* output) {
        test::write_file(dir / "in.crd", test::trajectory(four_atoms));
        choose("cmd_Input_Files", "in.crd");
        choose("cmd_Output", output);
    }
};

TEST_F(mdcrd_window, ExecuteFollowsTheRangeAndAMismatchKeepsTheControls) {
    EXPECT_EQ(text("txtEndAtom"), "1");
    expect_enabled({"cmd_Input_Files", "chk_BoxInfo"}, true);
    expect_enabled({"cmd_Output", "txt_orig_no_atoms", "txtStartAtom", "txtEndAtom", "cmdExecute"},
                   false);
    files("out.crd");
    EXPECT_TRUE(enabled("cmdExecute")) << "1, 1, 1 is a range";
    numbers("5", "2", "3");
    type("txtEndAtom", "a"); // letters beep and change nothing
    EXPECT_EQ(services.messages.beeps, 1);
    click("cmdExecute");
    EXPECT_NE(box(1).find("(frm_mdcrd_strip: cmd_execute_click)"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.crd"));
    numbers("4", "2", "3");
    click("cmdExecute");
    EXPECT_EQ(test::read_file(dir / "out.crd"), test::trajectory(four_atoms, 2, 3, false));
    EXPECT_EQ(box(2), "Information: Conversion Finished: Conversion Complete");
    const auto length = std::to_string(test::trajectory(four_atoms).size());
    EXPECT_EQ(text("lbl_bytes_processed") + ", " + text("lbl_bytes_remaining"),
              "Bytes Processed = " + length + ", Bytes Remaining = 0");
    expect_enabled({"cmd_Output", "txt_orig_no_atoms", "txtEndAtom", "txtStartAtom", "cmdExecute",
                    "chk_BoxInfo"},
                   false);
    files("all.crd");
    numbers("4", "1", "4");
    type("txtEndAtom", "\b"); // Backspace is typed
    EXPECT_FALSE(enabled("cmdExecute"));
    type("txtEndAtom", "4");
    click("chk_BoxInfo"); // enabled again with the output
    click("cmdExecute");
    EXPECT_EQ(test::read_file(dir / "all.crd"), test::trajectory(four_atoms));
    expect_return_to_menu();
}

// A NetCDF input fills in its atom count; a mask needs the topology before Execute; the layout
// chosen wins over the output's name.
TEST_F(mdcrd_window, ANetcdfInputStrippedByAMaskOverTheTopology) {
    const test::trajectory_shape five{5, 2, ""};
    test::write_file(dir / "in.crd", test::trajectory(five));
    test::write_file(dir / "top.parm7",
                     test::prmtop({{"ALA", {"N", "CA"}}, {"WAT", {"O", "H1", "H2"}}}));
    test::recording_ui ui;
    ASSERT_EQ(strip_mdcrd_atoms({dir / "in.crd", dir / "in.nc", 5, 1, 5, false}, ui),
              mdcrd_strip_outcome::completed);
    choose("cmd_Input_Files", "in.nc");
    EXPECT_EQ(text("txt_orig_no_atoms"), "5");
    choose("cmd_Output", "out.nc");
    expect_enabled({"cmd_Topology", "txt_mask", "cbo_output_format", "cmd_kept_atoms"}, true);
    set("txt_mask", "!:WAT");
    EXPECT_FALSE(enabled("cmdExecute")) << "a mask needs the topology";
    choose("cmd_Topology", "top.parm7");
    EXPECT_TRUE(enabled("cmdExecute"));
    test::control<QComboBox>(w, "cbo_output_format")->setCurrentIndex(1); // text, whatever the name
    choose("cmd_kept_atoms", "kept.txt");
    click("cmdExecute");
    EXPECT_EQ(box(1), "Information: Conversion Finished: Conversion Complete");
    EXPECT_EQ(test::read_file(dir / "out.nc"), test::trajectory(five, 1, 2));
    EXPECT_EQ(test::read_file(dir / "kept.txt"), "1\n2\n");
    EXPECT_EQ(text("lbl_bytes_processed"), "Frames Processed = 2");
    expect_enabled({"cmd_Topology", "txt_mask", "cbo_output_format", "cmd_kept_atoms"}, false);
}

} // namespace
} // namespace qm
