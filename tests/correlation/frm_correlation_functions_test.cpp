#include "correlation/frm_correlation_functions.h"
#include "shell/frm_init.h"

#include "stokes/tool_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

namespace qm {
namespace {

struct correlation_window : test::tool_window<frm_correlation_functions> {
    void SetUp() override { open<frm_init>("cmd_Correlation"); }
    // Both series chosen, then the output, the boxes ticked and Execute.
    void run(const std::string& first, const std::string& second,
             std::initializer_list<QCheckBox*> boxes) {
        test::write_file(dir / "a.dat", first);
        test::write_file(dir / "b.dat", second);
        choose("cmd_input1", "a.dat");
        choose("cmd_input2", "b.dat");
        choose("cmd_output", "c.dat");
        for (QCheckBox* box : boxes)
            box->click();
        click("cmd_execute");
    }
    // The boxes checked, as "<mean><msd><unity> ".
    std::string checked() {
        std::string seen;
        for (QCheckBox* b : {w->chk_adjust_by_mean, w->chk_adjust_by_msd, w->chk_norm_to_one})
            seen += b->isChecked() ? "1" : "0";
        return seen + " ";
    }
    // After any run the window is gone and the main menu back, its pictures still.
    void expect_unloaded() {
        flush_deletes();
        EXPECT_EQ(window_registry::instance().find<frm_correlation_functions>(), nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(static_cast<frm_init*>(menu)->timer_pic_change->isActive());
    }
};

TEST_F(correlation_window, EachFileChosenEnablesTheNextStepAndTheTwoScalingsExcludeEachOther) {
    const char* steps[] = {"cmd_input1", "cmd_input2", "cmd_output", "cmd_execute"};
    for (int step = 0; step < 3; ++step) {
        EXPECT_FALSE(enabled(steps[step + 1])) << step + 1;
        choose(steps[step], "file");
        EXPECT_TRUE(enabled(steps[step + 1])) << step + 1;
    }
    // The output is replaced by a run: only its dialog asks before replacing a file.
    std::string asked;
    for (const auto& dialog : services.dialogs.asked)
        asked += dialog.purpose == file_purpose::read ? "read " : "replace ";
    EXPECT_EQ(asked, "read read replace ");
    // Clearing one scaling leaves the other alone.
    std::string seen = checked();
    for (QCheckBox* box : {w->chk_adjust_by_mean, w->chk_adjust_by_msd, w->chk_norm_to_one,
                           w->chk_adjust_by_msd, w->chk_adjust_by_msd}) {
        box->click();
        seen += checked();
    }
    EXPECT_EQ(seen, "000 100 110 101 110 100 ");
}

// Every run, stopped or completed, unloads the window.
TEST_F(correlation_window, EveryRunUnloadsTheWindowAndACompletedOneChartsTheFunction) {
    run("1\n0\n", "1\n2\n", {w->chk_adjust_by_msd}); // D = 1 / 1 - 1^2 / 1^2 = 0
    EXPECT_TRUE(box(1).starts_with("Exclamation: Fatal - Error: Error (Division by zero)"));
    expect_unloaded();
    open<frm_init>("cmd_Correlation");
    // Fluctuations -2, -1, 0 give 5, 2, 0; scaled to C(0) = 1.
    run("1\n2\n3\n", "1\n2\n3\n", {w->chk_adjust_by_mean, w->chk_norm_to_one});
    EXPECT_EQ(test::read_file(dir / "c.dat"), " 1 \r\n 0.4 \r\n 0 \r\n");
    expect_unloaded();
    const auto lines = test::one_chart("τ (data points)", "C(τ) / C(0)");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{0, 1}, {1, 0.4}, {2, 0}}));
}

// The choice "FFT" runs the same job by Fourier transform: 1, 2, 3 correlate to 14, 8, 3 within
// rounding; "Exact order" is the default.
TEST_F(correlation_window, FftChoiceSumsByFourierTransform) {
    auto* method = test::control<QComboBox>(w, "cbo_method");
    EXPECT_EQ(method->currentText().toStdString(), "Exact order");
    method->setCurrentIndex(method->findText("FFT"));
    run("1\n2\n3\n", "1\n2\n3\n", {});
    const auto values = test::lines_of(test::read_file(dir / "c.dat"));
    ASSERT_EQ(values.size(), 3u);
    const double want[] = {14, 8, 3};
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(std::stod(values[k]), want[k], 1e-12);
    expect_unloaded();
}

} // namespace
} // namespace qm
