#include "correlation/frm_correlation_functions.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "shell/shell_test.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace qm {
namespace {

struct correlation_window : test::shell_test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_init* menu = nullptr;
    frm_correlation_functions* w = nullptr;

    void SetUp() override {
        menu = load_menu();
        click(menu, "cmd_Correlation");
        w = window_registry::instance().find<frm_correlation_functions>();
        ASSERT_NE(w, nullptr);
    }
    QPushButton* button(const char* name) { return test::control<QPushButton>(w, name); }
    QCheckBox* box(const char* name) { return test::control<QCheckBox>(w, name); }
    bool enabled(const char* name) { return button(name)->isEnabled(); }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button(button_name)->click();
    }
    void ready(const std::string& first, const std::string& second) {
        test::write_file(dir / "a.dat", first);
        test::write_file(dir / "b.dat", second);
        choose("cmd_input1", "a.dat");
        choose("cmd_input2", "b.dat");
        choose("cmd_output", "c.dat");
    }
    // After a run the window is gone and the main menu is back, its pictures still.
    void expect_unloaded() {
        flush_deletes();
        EXPECT_EQ(window_registry::instance().find<frm_correlation_functions>(), nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(menu->timer_pic_change->isActive());
    }
};

TEST_F(correlation_window, OpensFromTheMenuWithOnlyTheFirstFileButton) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());
    EXPECT_EQ(w->windowTitle(), "Correlation Function Calculation");
    EXPECT_EQ(test::control<QLabel>(w, "frm_title")->text(), "Correlation Function Calculation");
    EXPECT_EQ(test::control<QLabel>(w, "Label5")->text(),
              "(Note, this really only makes sense if file 1 = file 2. E.g we are calculating an "
              "autocorrelation.)");
    EXPECT_TRUE(
        test::control<QLabel>(w, "Label1")->text().endsWith("represented mathematically as:"));
    for (const char* image : {"Image1", "Image2", "Image3"})
        EXPECT_FALSE(test::control<QLabel>(w, image)->text().isEmpty()) << image;
    EXPECT_EQ(test::control<QGroupBox>(w, "Frame1")->title(), "Current Status");
    const std::pair<const char*, const char*> captions[] = {
        {"cmd_input1", "&1) Select Input File 1"},
        {"cmd_input2", "&2) Select Input File 2"},
        {"cmd_output", "&3) Select Output File"},
        {"cmd_execute", "E&xecute"},
        {"cmd_return", "&Return to Main Menu"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(button(name)->text(), caption);
    EXPECT_TRUE(enabled("cmd_input1"));
    EXPECT_FALSE(enabled("cmd_input2"));
    EXPECT_FALSE(enabled("cmd_output"));
    EXPECT_FALSE(enabled("cmd_execute"));
    for (const char* name : {"chk_adjust_by_mean", "chk_adjust_by_msd", "chk_norm_to_one"})
        EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_EQ(box("chk_norm_to_one")->text(), "Normalise Data to Unity?");
}

TEST_F(correlation_window, EachFileChosenEnablesTheNextStep) {
    services.dialogs.queue_cancel();
    button("cmd_input1")->click();
    EXPECT_FALSE(enabled("cmd_input2")) << "a cancelled dialog changes nothing";
    choose("cmd_input1", "a.dat");
    EXPECT_TRUE(enabled("cmd_input2"));
    EXPECT_FALSE(enabled("cmd_output"));
    choose("cmd_input2", "b.dat");
    EXPECT_TRUE(enabled("cmd_output"));
    EXPECT_FALSE(enabled("cmd_execute"));
    choose("cmd_output", "c.dat");
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_EQ(w->input1_path(), (dir / "a.dat").string());
    EXPECT_EQ(w->input2_path(), (dir / "b.dat").string());
    EXPECT_EQ(w->output_path(), (dir / "c.dat").string());
    EXPECT_EQ(test::control<path_label>(w, "lbl_input2_path")->toolTip().toStdString(),
              (dir / "b.dat").string());
    // The output is replaced by a run: only its dialog asks before replacing a file.
    ASSERT_EQ(services.dialogs.asked.size(), 4u);
    EXPECT_EQ(services.dialogs.asked[2].title, "Select Input File 2");
    EXPECT_EQ(services.dialogs.asked[2].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[3].title, "Select Output File");
    EXPECT_EQ(services.dialogs.asked[3].purpose, file_purpose::overwrite);
}

TEST_F(correlation_window, TheTwoScalingsExcludeEachOther) {
    box("chk_adjust_by_mean")->click();
    box("chk_adjust_by_msd")->click();
    EXPECT_TRUE(box("chk_adjust_by_msd")->isChecked());
    box("chk_norm_to_one")->click();
    EXPECT_TRUE(box("chk_norm_to_one")->isChecked());
    EXPECT_FALSE(box("chk_adjust_by_msd")->isChecked());
    box("chk_adjust_by_msd")->click();
    EXPECT_FALSE(box("chk_norm_to_one")->isChecked());
    box("chk_adjust_by_msd")->click(); // clearing one leaves the other alone
    EXPECT_FALSE(box("chk_adjust_by_msd")->isChecked());
    EXPECT_FALSE(box("chk_norm_to_one")->isChecked());
    EXPECT_TRUE(box("chk_adjust_by_mean")->isChecked());
}

TEST_F(correlation_window, ACompletedRunWritesTheFunctionAndUnloadsTheWindow) {
    ready("1\n2\n3\n", "1\n2\n3\n");
    box("chk_norm_to_one")->click();
    QProgressBar* bar = test::control<QProgressBar>(w, "ProgressBar");
    services.messages.while_shown = [&](const auto&) {
        EXPECT_EQ(bar->maximum(), 2);
        EXPECT_EQ(bar->value(), 2);
    };
    button("cmd_execute")->click();
    EXPECT_EQ(test::read_file(dir / "c.dat"),
              " 1 \r\n 0.571428571428571 \r\n 0.214285714285714 \r\n");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::information);
    EXPECT_EQ(services.messages.shown[0].title, "Processing Finished");
    EXPECT_EQ(services.messages.shown[0].text, "Correlation Function Calculation Complete");
    expect_unloaded();
    // The function stays on screen in the chart window.
    const auto lines = test::one_chart("τ (data points)", "C(τ) / C(0)");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{0, 1}, {1, 8.0 / 14}, {2, 3.0 / 14}}));
}

TEST_F(correlation_window, StoppedRunsUnloadTheWindowToo) {
    ready("1\n2\n3\n", "1\n2\n");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text,
              "Error - Input files are different lengths - File 1 = 2 File 2 = 1\n\r"
              "Returning to main menu");
    EXPECT_FALSE(std::filesystem::exists(dir / "c.dat"));
    expect_unloaded();

    click(menu, "cmd_Correlation");
    w = window_registry::instance().find<frm_correlation_functions>();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(enabled("cmd_input2")) << "a new window starts from its defaults";
    ready("0\n0\n", "1\n2\n");
    box("chk_adjust_by_msd")->click();
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text,
              "Error (Division by zero) in (correlation_functions_calculate_correlation_function) "
              "routine.\n\rReturning to main menu");
    EXPECT_TRUE(w->cursor().shape() != Qt::WaitCursor);
    expect_unloaded();
}

TEST_F(correlation_window, ReturnBringsBackTheMenuWithItsPictures) {
    button("cmd_return")->click();
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_correlation_functions>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

} // namespace
} // namespace qm
