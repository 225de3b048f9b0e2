#include "stokes/frm_Phase_Correction.h"

#include "platform/qt/path_label.h"
#include "stokes/tool_window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace qm {
namespace {

struct phase_window : test::tool_window<frm_Phase_Correction> {
    void SetUp() override { open("cmd_Phase_correct"); }
    void ready(const std::string& input) {
        test::write_file(dir / "in.dat", input);
        choose("cmd_input_file", "in.dat");
        choose("cmd_output_file", "out.dat");
    }
};

TEST_F(phase_window, OpensFromTheSubMenuWithOnlyTheInputButtonEnabled) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(w->windowTitle(), "Phase Correction Utility");
    const std::pair<const char*, const char*> captions[] = {
        {"cmd_input_file", "Select Phase &Input File"},
        {"cmd_output_file", "Select Corrected Phase &Output File"},
        {"cmd_execute", "E&xecute"},
        {"cmd_return", "&Return to Stokes Shift Menu"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(button(name)->text(), caption);
    const std::pair<const char*, const char*> labels[] = {
        {"lbl_phase_column", "Phase Column in file:"},
        {"lbl_progress", "Progress:"},
        {"lbl_zero", "0 %"},
        {"lbl_100", "100 %"}};
    for (const auto& [name, text] : labels)
        EXPECT_EQ(test::control<QLabel>(w, name)->text(), text);
    EXPECT_EQ(test::control<QLineEdit>(w, "txt_phase_column")->text(), "3");
    EXPECT_EQ(test::control<QProgressBar>(w, "prg_progress")->value(), 0);
    EXPECT_TRUE(enabled("cmd_input_file"));
    EXPECT_FALSE(enabled("cmd_output_file"));
    EXPECT_FALSE(enabled("cmd_execute"));
}

TEST_F(phase_window, ExecuteCorrectsThenStartsOverWithTheInput) {
    services.dialogs.queue_cancel();
    button("cmd_input_file")->click();
    EXPECT_FALSE(enabled("cmd_output_file")) << "a cancelled dialog changes nothing";
    choose("cmd_input_file", "in.dat");
    EXPECT_TRUE(enabled("cmd_output_file"));
    EXPECT_FALSE(enabled("cmd_execute"));
    test::write_file(dir / "in.dat", "1 0 3.0\r\n2 0 -3.1\r\n");
    choose("cmd_output_file", "out.dat");
    ASSERT_TRUE(enabled("cmd_execute"));
    ASSERT_EQ(services.dialogs.asked.size(), 3u);
    EXPECT_EQ(services.dialogs.asked[1].title, "Select Phase Input File");
    EXPECT_EQ(services.dialogs.asked[1].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[2].title, "Select Corrected Phase Output File");
    EXPECT_EQ(services.dialogs.asked[2].purpose, file_purpose::overwrite);
    auto* shown_input = test::control<path_label>(w, "lbl_input_path");
    EXPECT_EQ(shown_input->full_text().toStdString(), (dir / "in.dat").string());
    button("cmd_execute")->click();
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 0 3 \r\n2 0 3.18318530717958 \r\n");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::information);
    EXPECT_EQ(services.messages.shown[0].title, "Processing Complete");
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Complete");
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_FALSE(enabled("cmd_output_file"));
    EXPECT_TRUE(enabled("cmd_input_file"));
    EXPECT_EQ(w->input_path(), "");
    EXPECT_EQ(w->output_path(), "");
    EXPECT_EQ(shown_input->full_text(), "");
    EXPECT_EQ(test::control<QProgressBar>(w, "prg_progress")->value(), 0);

    // The phase column before and after unwrapping, against the line.
    const auto lines = test::one_chart("Line", "Phase (rad)");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "Phase as Read");
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{1, 3.0}, {2, -3.1}}));
    EXPECT_EQ(lines[1].name, "Unwrapped Phase");
    EXPECT_EQ(lines[1].points, (QList<QPointF>{{1, 3.0}, {2, -3.1 + 2 * 3.14159265358979}}));
    EXPECT_TRUE(enabled("cmd_show_chart"));
}

TEST_F(phase_window, FailuresAreReportedAndTheWindowStaysUsable) {
    ready("1 2 3\r\n1 2\r\n");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal - Error");
    EXPECT_EQ(services.messages.shown[0].text,
              "Error (Subscript out of range9) in (frm_Phase_Correction: cmd_execute_click) "
              "routine.\n\rReturning to main menu");
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 2 3 \r\n");
    EXPECT_TRUE(test::shown_charts().empty()) << "no chart of a failed run";
    EXPECT_FALSE(enabled("cmd_show_chart"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(enabled("cmd_execute"));

    // The user mends the column and runs again with the same files.
    test::control<QLineEdit>(w, "txt_phase_column")->setText("x");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].title, "Invalid Phase Column");
    test::control<QLineEdit>(w, "txt_phase_column")->setText("1");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 3u);
    EXPECT_EQ(services.messages.shown[2].text, "Conversion Complete");
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 2 3 \r\n1 2 \r\n");
}

TEST_F(phase_window, ReturnShowsTheSubMenuAgain) {
    expect_return_to_menu();
}

} // namespace
} // namespace qm
