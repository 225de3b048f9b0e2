#include "correlation/frm_correlation_functions.h"
#include "platform/qt/ui_services.h"
#include "shell/shell_test.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QTimer>

namespace qm {
namespace {

struct correlation_window : test::shell_test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_init* menu = load_menu();
    frm_correlation_functions* w = nullptr;

    void SetUp() override { open(); }
    void open() {
        click(menu, "cmd_Correlation");
        w = window_registry::instance().find<frm_correlation_functions>();
        ASSERT_NE(w, nullptr);
    }
    void choose(QPushButton* button, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button->click();
    }
    // Both series chosen, then the output, the boxes ticked and Execute.
    void run(const std::string& first, const std::string& second,
             std::initializer_list<QCheckBox*> boxes) {
        test::write_file(dir / "a.dat", first);
        test::write_file(dir / "b.dat", second);
        choose(w->cmd_input1, "a.dat");
        choose(w->cmd_input2, "b.dat");
        choose(w->cmd_output, "c.dat");
        for (QCheckBox* box : boxes)
            box->click();
        w->cmd_execute->click();
    }
    // After a run, complete or not, the window is gone and the main menu is back, its
    // pictures still.
    void expect_unloaded() {
        flush_deletes();
        EXPECT_EQ(window_registry::instance().find<frm_correlation_functions>(), nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(menu->timer_pic_change->isActive());
    }
};

TEST_F(correlation_window, EachFileChosenEnablesTheNextStep) {
    for (QCheckBox* box : {w->chk_adjust_by_mean, w->chk_adjust_by_msd, w->chk_norm_to_one})
        EXPECT_FALSE(box->isChecked());
    services.dialogs.queue_cancel();
    w->cmd_input1->click();
    EXPECT_FALSE(w->cmd_input2->isEnabled()) << "a cancelled dialog changes nothing";
    QPushButton* steps[] = {w->cmd_input1, w->cmd_input2, w->cmd_output, w->cmd_execute};
    for (int step = 0; step < 3; ++step) {
        EXPECT_FALSE(steps[step + 1]->isEnabled()) << step + 1;
        choose(steps[step], "file");
        EXPECT_TRUE(steps[step + 1]->isEnabled()) << step + 1;
    }
    // The output is replaced by a run: only its dialog asks before replacing a file.
    ASSERT_EQ(services.dialogs.asked.size(), 4u);
    EXPECT_EQ(services.dialogs.asked[2].title, "Select Input File 2");
    EXPECT_EQ(services.dialogs.asked[2].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[3].title, "Select Output File");
    EXPECT_EQ(services.dialogs.asked[3].purpose, file_purpose::overwrite);
}

TEST_F(correlation_window, TheTwoScalingsExcludeEachOther) {
    w->chk_adjust_by_mean->click();
    w->chk_adjust_by_msd->click();
    w->chk_norm_to_one->click();
    EXPECT_FALSE(w->chk_adjust_by_msd->isChecked());
    w->chk_adjust_by_msd->click();
    EXPECT_FALSE(w->chk_norm_to_one->isChecked());
    w->chk_adjust_by_msd->click(); // clearing one leaves the other alone
    EXPECT_FALSE(w->chk_adjust_by_msd->isChecked());
    EXPECT_FALSE(w->chk_norm_to_one->isChecked());
    EXPECT_TRUE(w->chk_adjust_by_mean->isChecked());
}

TEST_F(correlation_window, ACompletedRunWritesTheFunctionAndUnloadsTheWindow) {
    QProgressBar* bar = test::control<QProgressBar>(w, "ProgressBar");
    services.messages.while_shown = [&](const auto&) {
        EXPECT_EQ(bar->maximum(), 2);
        EXPECT_EQ(bar->value(), 2);
    };
    // Fluctuations -2, -1, 0 give 5, 2, 0; scaled to C(0) = 1.
    run("1\n2\n3\n", "1\n2\n3\n", {w->chk_adjust_by_mean, w->chk_norm_to_one});
    EXPECT_EQ(test::read_file(dir / "c.dat"), " 1 \r\n 0.4 \r\n 0 \r\n");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text, "Correlation Function Calculation Complete");
    expect_unloaded();
    // The function stays on screen in the chart window.
    const auto lines = test::one_chart("τ (data points)", "C(τ) / C(0)");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{0, 1}, {1, 0.4}, {2, 0}}));
}

TEST_F(correlation_window, StoppedRunsUnloadTheWindowToo) {
    run("1\n2\n3\n", "1\n2\n", {});
    EXPECT_FALSE(std::filesystem::exists(dir / "c.dat"));
    expect_unloaded();
    open();
    EXPECT_FALSE(w->cmd_input2->isEnabled()) << "a new window starts from its defaults";
    run("1\n0\n", "1\n2\n", {w->chk_adjust_by_msd}); // D = 1 / 1 - 1^2 / 1^2 = 0
    EXPECT_TRUE(w->cursor().shape() != Qt::WaitCursor);
    expect_unloaded();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_TRUE(services.messages.shown[0].text.starts_with("Error - Input files are different"));
    EXPECT_TRUE(services.messages.shown[1].text.starts_with("Error (Division by zero)"));
}

} // namespace
} // namespace qm
