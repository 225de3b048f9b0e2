#include "stokes/frm_Phase_Correction.h"

#include "platform/qt/path_label.h"
#include "shell/frm_stokes_shift_tools.h"
#include "stokes/tool_window_fixture.h"

namespace qm {
namespace {

struct phase_window : test::tool_window<frm_Phase_Correction> {
    void SetUp() override { open<frm_stokes_shift_tools>("cmd_Phase_correct"); }
};

TEST_F(phase_window, ExecuteCorrectsChartsThenStartsOverWithTheInput) {
    EXPECT_EQ(text("txt_phase_column"), "3");
    expect_enabled({"cmd_output_file", "cmd_execute"}, false);
    services.dialogs.queue_cancel();
    click("cmd_input_file");
    EXPECT_FALSE(enabled("cmd_output_file")) << "a cancelled dialog changes nothing";
    test::write_file(dir / "in.dat", "1 0 3.0\r\n2 0 -3.1\r\n");
    choose("cmd_input_file", "in.dat");
    EXPECT_FALSE(enabled("cmd_execute"));
    choose("cmd_output_file", "out.dat");
    EXPECT_EQ(services.dialogs.asked[1].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[2].purpose, file_purpose::overwrite);
    set("txt_phase_column", "4");
    click("cmd_execute");
    EXPECT_EQ(box(1),
              test::fatal("Subscript out of range9", "frm_Phase_Correction: cmd_execute_click"));
    EXPECT_TRUE(test::shown_charts().empty()) << "no chart of a failed run";
    EXPECT_FALSE(enabled("cmd_show_chart"));
    set("txt_phase_column", "3");
    auto* shown_input = test::control<path_label>(w, "lbl_input_path");
    EXPECT_EQ(shown_input->full_text().toStdString(), (dir / "in.dat").string());
    click("cmd_execute");
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 0 3 \r\n2 0 3.18318530717958 \r\n");
    EXPECT_EQ(box(2), "Information: Processing Complete: Conversion Complete");
    expect_enabled({"cmd_execute", "cmd_output_file"}, false);
    EXPECT_EQ(w->input_path() + w->output_path() + shown_input->full_text().toStdString(), "");
    const auto lines = test::one_chart("Line", "Phase (rad)");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points + lines[1].points,
              (QList<QPointF>{{1, 3.0}, {2, -3.1}, {1, 3.0}, {2, -3.1 + 2 * 3.14159265358979}}));
    EXPECT_TRUE(enabled("cmd_show_chart"));
    expect_return_to_menu();
}

} // namespace
} // namespace qm
