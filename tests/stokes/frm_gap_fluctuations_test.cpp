#include "stokes/frm_gap_fluctuations.h"

#include "platform/number_form.h"
#include "platform/qt/chart_panel.h"
#include "shell/frm_stokes_shift_tools.h"
#include "stokes/frm_tdss.h"
#include "stokes/tool_window_fixture.h"

#include <QChartView>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qm {
namespace {

struct gap_window : test::tool_window<frm_gap_fluctuations> {
    void SetUp() override { open<frm_stokes_shift_tools>("cmd_gap_fluctuations"); }
};

// The window analyses a series with its boxes' settings, keeps the summary in view, charts
// C(t)/C(0) and J, and writes the spectral density that the Time Dependent Stokes Shift window
// then reads and turns into S(t).
TEST_F(gap_window, AnalysesASeriesAndItsSpectralDensityGoesOnIntoTheStokesShiftWindow) {
    EXPECT_EQ(w->windowTitle().toStdString(), "Energy Gap Fluctuations");
    EXPECT_FALSE(enabled("cmd_execute"));
    std::string series;
    for (int i = 0; i < 64; ++i)
        series += print_form(i) + print_form(2 + (i * 37 % 11) / 10.0) + "\r\n";
    test::write_file(dir / "freqgapEV.1", series);
    choose("cmd_input_file", "freqgapEV.1");
    choose("cmd_spectral_density_file", "J.dat");
    set("txt_wavenumber_max", "100");
    set("txt_wavenumber_step", "10");
    click("cmd_execute");
    EXPECT_EQ(box(1).rfind("Information: Energy Gap Fluctuations: Mean = ", 0), 0u);
    const std::string summary =
        test::control<QPlainTextEdit>(w, "txt_summary")->toPlainText().toStdString();
    EXPECT_NE(summary.find("\ndt = 1 fs, N = 64, M = 31"), std::string::npos) << summary;
    const auto views = test::control<chart_panel>(w, "chart_fluctuations")->views();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(test::axis_titles(views[0]->chart()).second, "C(t) / C(0)");
    EXPECT_EQ(test::chart_lines(views[1]->chart())[0].points.size(), 11);
    EXPECT_EQ(test::lines_of(test::read_file(dir / "J.dat")).size(), 11u);

    set("txt_temperature", "");
    click("cmd_execute");
    EXPECT_EQ(box(2), "Exclamation: Energy Gap Fluctuations: The box Temperature (K): is empty");
    expect_return_to_menu("cmd_return");

    // Step 4 of the Time Dependent Stokes Shift window on that file.
    test::control<QAbstractButton>(menu, "cmd_TDSS")->click();
    auto* tdss = window_registry::instance().find<frm_tdss>();
    ASSERT_NE(tdss, nullptr);
    services.dialogs.queue_path((dir / "J.dat").string());
    tdss->cmd_input_file->click();
    services.dialogs.queue_path((dir / "S.csv").string());
    tdss->cmd_output_file->click();
    EXPECT_FALSE(tdss->cmd_compute_stokes_shift->isEnabled());
    tdss->cmd_read_input_file->click();
    ASSERT_TRUE(tdss->cmd_compute_stokes_shift->isEnabled());
    tdss->txt_t_max->setText("10");
    tdss->cmd_compute_stokes_shift->click();
    EXPECT_EQ(test::lines_of(test::read_file(dir / "S.csv")).size(), 12u);
    EXPECT_EQ(tdss->txt_status->text().toStdString().rfind(
                  "Stokes shift function written to " + (dir / "S.csv").string() +
                      " - Reorganisation energy lambda = ",
                  0),
              0u);
    EXPECT_EQ(tdss->frm_data_display->title().toStdString(),
              "Data Display - Stokes Shift Function S(t) of J.dat");
    const auto s = test::chart_lines(tdss->chart_data1->views().at(0)->chart());
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].points.front(), QPointF(0, 1));
}

} // namespace
} // namespace qm
