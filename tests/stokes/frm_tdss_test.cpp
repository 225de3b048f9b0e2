#include "stokes/frm_tdss.h"

#include "platform/qt/path_label.h"
#include "stokes/tool_window_fixture.h"

#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace qm {
namespace {

struct tdss_window : test::tool_window<frm_tdss> {
    void SetUp() override { open("cmd_TDSS"); }
    QString status() { return test::control<QLineEdit>(w, "txt_status")->text(); }
};

TEST_F(tdss_window, OpensFromTheSubMenuWithAnEmptyChart) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(w->windowTitle(), "Time Dependent Stokes Shift");
    const std::pair<const char*, const char*> captions[] = {
        {"cmd_input_file", "1) &Select Spectral Density File"},
        {"cmd_output_file", "2) Select &Output File"},
        {"cmd_read_input_file", "3) &Read Input File"},
        {"cmd_return", "Re&turn to Stokes Shift Menu"}}; // Alt+R reads the input
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(button(name)->text(), caption);
    EXPECT_EQ(test::control<QLabel>(w, "lblStatus")->text(), "Status:");
    EXPECT_EQ(status(), "Awaiting user selection of Spectral Density input file.");
    auto* frame = test::control<QGroupBox>(w, "frm_data_display");
    EXPECT_EQ(frame->title(), "Data Display - NO DATA");
    auto* chart = test::control<QChartView>(frame, "chart_data1");
    ASSERT_NE(chart->chart(), nullptr);
    EXPECT_TRUE(chart->chart()->series().isEmpty());
    EXPECT_TRUE(enabled("cmd_input_file"));
    EXPECT_FALSE(enabled("cmd_output_file"));
    EXPECT_FALSE(enabled("cmd_read_input_file"));
    EXPECT_FALSE(enabled("cmd_save_chart"));
}

TEST_F(tdss_window, ThreeStepsReadTheTableAndNeverTouchTheOutput) {
    test::write_file(dir / "density.dat", "0.1 0.2 0.3\r\n0.4 0.5 0.6\r\n");
    choose("cmd_input_file", "density.dat");
    EXPECT_EQ(status(), "Awaiting user selection of Time Dependent Stokes Shift output file.");
    EXPECT_TRUE(enabled("cmd_output_file"));
    EXPECT_FALSE(enabled("cmd_read_input_file"));
    choose("cmd_output_file", "tdss.dat");
    EXPECT_EQ(status(), "Ready to read input file.");
    // The output is never written: its dialog does not ask about replacing a file.
    ASSERT_EQ(services.dialogs.asked.size(), 2u);
    EXPECT_EQ(services.dialogs.asked[0].title, "Select Spectral Density File");
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[1].title, "Select Output File");
    EXPECT_EQ(services.dialogs.asked[1].purpose, file_purpose::keep);
    EXPECT_EQ(test::control<path_label>(w, "lbl_output_path")->toolTip().toStdString(),
              (dir / "tdss.dat").string());
    ASSERT_TRUE(enabled("cmd_read_input_file"));
    button("cmd_read_input_file")->click();
    EXPECT_EQ(status(), "Successfully Read Input Data - Ready to process.");
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_EQ(w->spectral_density().row_count, 2);
    EXPECT_EQ(w->spectral_density().rows[1], (std::array<double, 3>{0.4, 0.5, 0.6}));
    EXPECT_EQ(w->output_path(), (dir / "tdss.dat").string());
    EXPECT_FALSE(std::filesystem::exists(dir / "tdss.dat"));
    // The rows read, columns 2 and 3 against column 1, and the frame names them.
    const QChart* chart = test::control<QChartView>(w, "chart_data1")->chart();
    const auto lines = test::chart_lines(chart);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "Column 2");
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{0.1, 0.2}, {0.4, 0.5}}));
    EXPECT_EQ(lines[1].points, (QList<QPointF>{{0.1, 0.3}, {0.4, 0.6}}));
    EXPECT_EQ(test::axis_titles(chart),
              std::make_pair(QString("Column 1"), QString("Columns 2 and 3")));
    EXPECT_EQ(test::control<QGroupBox>(w, "frm_data_display")->title(),
              "Data Display - Spectral Density (2 rows)");
    EXPECT_TRUE(enabled("cmd_save_chart"));
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(tdss_window, AFailedReadUnloadsTheWindowBackToTheSubMenu) {
    choose("cmd_input_file", "missing.dat");
    choose("cmd_output_file", "tdss.dat");
    button("cmd_read_input_file")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal - Error");
    EXPECT_EQ(services.messages.shown[0].text,
              "Error (File not found53) in (frm_tdss: cmd_read_input_file_click) routine.\n\r"
              "Returning to main menu");
    EXPECT_TRUE(menu->isVisible());
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_tdss>(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "tdss.dat"));
}

TEST_F(tdss_window, ReturnShowsTheSubMenuAgain) {
    expect_return_to_menu();
}

} // namespace
} // namespace qm
