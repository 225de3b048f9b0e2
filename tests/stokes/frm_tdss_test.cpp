#include "stokes/frm_tdss.h"

#include "platform/qt/chart_panel.h"
#include "shell/frm_stokes_shift_tools.h"
#include "stokes/tool_window_fixture.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>

namespace qm {
namespace {

struct tdss_window : test::tool_window<frm_tdss> {
    void SetUp() override { open<frm_stokes_shift_tools>("cmd_TDSS"); }
    chart_panel* panel() { return test::control<chart_panel>(w, "chart_data1"); }
    const QChart* chart() { return panel()->views().at(0)->chart(); }
};

TEST_F(tdss_window, FourStepsReadTheTableThenComputeAndWriteTheStokesShiftFunction) {
    EXPECT_EQ(text("txt_status") + "|" + text("frm_data_display"),
              "Awaiting user selection of Spectral Density input file.|Data Display - NO DATA");
    expect_enabled({"cmd_output_file", "cmd_read_input_file", "cmd_compute_stokes_shift",
                    "cmd_save_chart"},
                   false);
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n");
    choose("cmd_input_file", "density.dat");
    EXPECT_FALSE(enabled("cmd_read_input_file"));
    choose("cmd_output_file", "tdss.dat");
    // Step 4 writes the output: its dialog asks before replacing a file.
    EXPECT_EQ(services.dialogs.asked.at(1).purpose, file_purpose::overwrite);
    click("cmd_read_input_file");
    EXPECT_EQ(text("txt_status"), "Successfully Read Input Data - Ready to process.");
    EXPECT_TRUE(services.messages.shown.empty() && !std::filesystem::exists(dir / "tdss.dat"));
    const auto lines = test::chart_lines(chart());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name + " " + test::axis_titles(chart()).second, "Column 2 Columns 2 and 3");
    EXPECT_EQ(lines[0].points + lines[1].points,
              (QList<QPointF>{{0.1, 0.2}, {0.4, 0.5}, {0.1, 0.3}, {0.4, 0.6}}));
    EXPECT_EQ(text("frm_data_display"), "Data Display - Spectral Density (2 rows)");
    EXPECT_TRUE(enabled("cmd_save_chart") && enabled("cmd_compute_stokes_shift"));
    // Two rows of wavenumbers 0.1 and 0.4 and J 0.2 and 0.5: S(0) = 1 and
    // lambda = (1/pi) (0.15 x 0.2 / 0.1 + 0.15 x 0.5 / 0.4).
    set("txt_t_max", "2");
    click("cmd_compute_stokes_shift");
    EXPECT_EQ(text("txt_status"), "Stokes shift function written to " +
                                      (dir / "tdss.dat").string() +
                                      " - Reorganisation energy lambda = 0.155176069514598 (unit "
                                      "of the spectral density)");
    EXPECT_EQ(test::read_file(dir / "tdss.dat").substr(0, 14), "time_fs,s\n0,1\n");
    EXPECT_EQ(text("frm_data_display"), "Data Display - Stokes Shift Function S(t) of density.dat");
    // The chart is explored and saved as every chart is: its point under the cursor read out,
    // its data as CSV, the run's input and settings in the saved picture.
    w->show();
    QApplication::processEvents();
    QChartView* view = panel()->views().at(0);
    const QPoint middle =
        view->mapFromScene(view->chart()->mapToScene(view->chart()->plotArea().center()));
    QMouseEvent move(QEvent::MouseMove, QPointF(middle), view->viewport()->mapToGlobal(middle),
                     Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_TRUE(panel()->lbl_chart_position->text().startsWith("Time (fs): "))
        << panel()->lbl_chart_position->text().toStdString();
    services.dialogs.queue_path((dir / "s.csv").string());
    click("cmd_save_data");
    EXPECT_EQ(test::read_file(dir / "s.csv").substr(0, 23), "series,time_fs,s_t\nS(t)");
    services.dialogs.queue_path((dir / "s.png").string());
    click("cmd_save_chart");
    QImage png;
    ASSERT_TRUE(png.load(QString::fromStdString((dir / "s.png").string())));
    EXPECT_EQ(png.text("Description").toStdString(), "Input: " + (dir / "density.dat").string() +
                                                         "; t max (fs): 2; t step (fs): 1; " +
                                                         "Output: " + (dir / "tdss.dat").string());
    // A box without a number is a message; the file stays as it was.
    set("txt_t_step", "");
    click("cmd_compute_stokes_shift");
    EXPECT_EQ(box(1), "Exclamation: Time Dependent Stokes Shift: The box Time step (fs): is empty");
    services.messages.shown.clear();
    choose("cmd_input_file", "missing.dat");
    click("cmd_read_input_file");
    EXPECT_EQ(box(1), test::fatal("File not found53", "frm_tdss: cmd_read_input_file_click"));
    EXPECT_TRUE(menu->isVisible());
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_tdss>(), nullptr);
}

} // namespace
} // namespace qm
