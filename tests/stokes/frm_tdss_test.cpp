#include "stokes/frm_tdss.h"

#include "shell/frm_stokes_shift_tools.h"
#include "stokes/tool_window_fixture.h"

#include <QChart>
#include <QChartView>

namespace qm {
namespace {

struct tdss_window : test::tool_window<frm_tdss> {
    void SetUp() override { open<frm_stokes_shift_tools>("cmd_TDSS"); }
    const QChart* chart() { return test::control<QChartView>(w, "chart_data1")->chart(); }
};

TEST_F(tdss_window, ThreeStepsReadTheTableAndNeverTouchTheOutput) {
    EXPECT_EQ(text("txt_status") + "|" + text("frm_data_display"),
              "Awaiting user selection of Spectral Density input file.|Data Display - NO DATA");
    expect_enabled({"cmd_output_file", "cmd_read_input_file", "cmd_save_chart"}, false);
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n");
    choose("cmd_input_file", "density.dat");
    EXPECT_FALSE(enabled("cmd_read_input_file"));
    choose("cmd_output_file", "tdss.dat");
    // The output is never written: its dialog does not ask about replacing a file.
    EXPECT_EQ(services.dialogs.asked.at(1).purpose, file_purpose::keep);
    click("cmd_read_input_file");
    EXPECT_EQ(text("txt_status"), "Successfully Read Input Data - Ready to process.");
    EXPECT_TRUE(services.messages.shown.empty() && !std::filesystem::exists(dir / "tdss.dat"));
    const auto lines = test::chart_lines(chart());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name + " " + test::axis_titles(chart()).second, "Column 2 Columns 2 and 3");
    EXPECT_EQ(lines[0].points + lines[1].points,
              (QList<QPointF>{{0.1, 0.2}, {0.4, 0.5}, {0.1, 0.3}, {0.4, 0.6}}));
    EXPECT_EQ(text("frm_data_display"), "Data Display - Spectral Density (2 rows)");
    EXPECT_TRUE(enabled("cmd_save_chart"));
    choose("cmd_input_file", "missing.dat");
    click("cmd_read_input_file");
    EXPECT_EQ(box(1), test::fatal("File not found53", "frm_tdss: cmd_read_input_file_click"));
    EXPECT_TRUE(menu->isVisible());
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_tdss>(), nullptr);
}

} // namespace
} // namespace qm
