#include "stokes/frm_data_extraction1.h"

#include "shell/frm_stokes_shift_tools.h"
#include "stokes/stokes_shift_summary.h"
#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

struct data_extraction_window : test::tool_window<frm_data_extraction1> {
    void SetUp() override {
        open<frm_stokes_shift_tools>("cmd_Data_extract1");
        std::filesystem::create_directories(dir / "run");
        test::write_file(dir / "run" / "absfq.dat", "100 1\n");
        test::write_file(dir / "run" / "emisfq.dat", "50 1\n");
    }
};

// A failure leaves only the way back.
TEST_F(data_extraction_window, TheChosenFilesFolderIsTheDataPathAndExecuteAppends) {
    EXPECT_EQ(text("txt_current_data_path") + "|" + text("txt_output_file"),
              "|c:\\QMMM_Summary.dat");
    choose("cmd_Input_Path", "run/absfq.dat");
    const std::string folder = (dir / "run").string() + "/";
    services.dialogs.queue_cancel();
    click("cmd_Input_Path");
    EXPECT_EQ(text("txt_current_data_path"), folder);
    set("txt_output_file", (dir / "summary.dat").string());
    click("cmd_Execute");
    const std::string line = folder + "\t 0.2067833635 \t 0.2067833635 \r\n";
    EXPECT_EQ(test::read_file(dir / "summary.dat"), line);
    EXPECT_EQ(text("txt_status"), "Summary line appended to " + (dir / "summary.dat").string());
    // Both spectra, a dashed line up each peak and the Stokes shift across between them.
    const auto lines = test::one_chart("Energy (eV)", "Intensity (peak = 1)");
    ASSERT_EQ(lines.size(), 5u);
    std::string names;
    for (const auto& line : lines)
        names += line.name.toStdString() + "; ";
    EXPECT_EQ(names, "Absorption; Emission; Absorption Peak = 0.414 eV; Emission Peak = 0.207 eV; "
                     "Stokes Shift = 0.207 eV; ");
    EXPECT_EQ(lines[0].points + lines[4].points,
              (QList<QPointF>{{thz_to_ev(100), 1}, {thz_to_ev(50), 1}, {thz_to_ev(100), 1}}));
    EXPECT_TRUE(enabled("cmd_show_chart"));
    // A typed path without its final separator: the file names run into the folder name.
    set("txt_current_data_path", (dir / "run").string());
    click("cmd_Execute");
    EXPECT_EQ(box(2),
              test::fatal("File not found53", "frm_data_extraction1 submodule: cmd_Execute"));
    EXPECT_EQ(test::read_file(dir / "summary.dat"), line);
    EXPECT_FALSE(enabled("cmd_Execute"));
    expect_return_to_menu();
}

} // namespace
} // namespace qm
