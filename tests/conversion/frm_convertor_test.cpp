#include "conversion/frm_convertor.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_convertor_status.h"

#include "support/gaussian_files.h"
#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct convertor_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_convertor* w = window_registry::instance().load<frm_convertor>();

    void TearDown() override { window_registry::instance().destroy_all(); }

    QPushButton* button(const char* name) { return test::control<QPushButton>(w, name); }
    QRadioButton* option(const char* name) { return test::control<QRadioButton>(w, name); }
    bool enabled(const char* name) { return test::control<QWidget>(w, name)->isEnabled(); }

    // Stages 1 and 2 with the given files.
    void choose_files(const std::string& input, const std::string& output) {
        services.dialogs.queue_path((dir / input).string());
        button("cmd_input")->click();
        services.dialogs.queue_path((dir / output).string());
        button("cmd_output")->click();
    }
    frm_convertor_status* status_window() {
        return window_registry::instance().find<frm_convertor_status>();
    }
};

const char* const output_controls[] = {"opt_out_g94", "opt_out_pdb", "opt_out_xyz", "opt_out_freq",
                                       "chk_multiple_geom"};

TEST_F(convertor_window, StagesOpenInTurnAndResetShutsThem) {
    EXPECT_EQ(w->windowTitle(), "Gaussian Output Convertor");
    auto expect_first_stage_only = [&] {
        EXPECT_TRUE(enabled("cmd_input"));
        for (const char* name : {"cmd_output", "frame_stage_3", "cmd_execute", "opt_in_xyz"})
            EXPECT_FALSE(enabled(name)) << name;
    };
    expect_first_stage_only();
    choose_files("in.xyz", "out.pdb");
    // The output is written over: only its dialog is a save dialog that asks first.
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[1].purpose, file_purpose::overwrite);
    EXPECT_EQ(test::control<path_label>(w, "lbl_output_path")->toolTip().toStdString(),
              (dir / "out.pdb").string());
    for (const char* name : {"frame_stage_3", "opt_in_g98", "opt_in_xyz", "cmd_execute"})
        EXPECT_TRUE(enabled(name)) << name;
    for (const char* name : output_controls)
        EXPECT_FALSE(enabled(name)) << name;
    // Execute without an input type starts nothing and locks the stages; a cancelled dialog
    // opens no stage.
    button("cmd_execute")->click();
    EXPECT_EQ(status_window(), nullptr);
    EXPECT_FALSE(enabled("frame_stage_3"));
    services.dialogs.queue_cancel();
    button("cmd_input")->click();
    expect_first_stage_only();

    choose_files("in", "out");
    option("opt_in_g98")->click();
    option("opt_out_freq")->click();
    button("cmd_reset")->click();
    EXPECT_FALSE(option("opt_in_g98")->isChecked());
    EXPECT_FALSE(option("opt_out_freq")->isChecked());
    expect_first_stage_only();
}

struct enabling_row {
    const char* input;
    bool g94, pdb, xyz, freq, multiple;
};

class convertor_enabling : public convertor_window,
                           public ::testing::WithParamInterface<enabling_row> {};

TEST_P(convertor_enabling, InputTypeEnablesItsOutputTypes) {
    const enabling_row row = GetParam();
    choose_files("in", "out");
    option(row.input)->click();
    const bool expected[] = {row.g94, row.pdb, row.xyz, row.freq, row.multiple};
    for (std::size_t i = 0; i < std::size(output_controls); ++i)
        EXPECT_EQ(enabled(output_controls[i]), expected[i])
            << row.input << " " << output_controls[i];
    EXPECT_EQ(enabled("lbl_multiple_geom"), row.multiple);
}

INSTANTIATE_TEST_SUITE_P(
    Table, convertor_enabling,
    ::testing::Values(enabling_row{"opt_in_g98", true, true, true, true, true},
                      enabling_row{"opt_in_g94", false, true, true, false, true},
                      enabling_row{"opt_in_gaussian_cart", false, true, true, false, false},
                      enabling_row{"opt_in_xyz", false, true, false, false, false}));

TEST_F(convertor_window, G94AndFrequencyOutputsUncheckMultipleGeometries) {
    choose_files("in", "out");
    auto* multiple = test::control<QCheckBox>(w, "chk_multiple_geom");
    option("opt_in_g98")->click();
    multiple->click();
    ASSERT_TRUE(multiple->isChecked());
    option("opt_out_freq")->click();
    EXPECT_FALSE(multiple->isChecked());
    EXPECT_FALSE(enabled("chk_multiple_geom"));
    option("opt_out_pdb")->click(); // Gaussian output: the box comes back
    EXPECT_TRUE(enabled("chk_multiple_geom"));
    option("opt_out_g94")->click();
    option("opt_in_gaussian_cart")->click();
    option("opt_out_xyz")->click(); // not for a Gaussian input file
    EXPECT_FALSE(enabled("chk_multiple_geom"));
}

TEST_F(convertor_window, ExecuteWritesEveryGeometryOfAGaussian98FileWhileTheCloseBoxWaits) {
    test::write_file(dir / "opt.out",
                     test::gaussian_output(test::g98_banner, test::g98_table(test::water) +
                                                                 test::g98_table(test::water)));
    choose_files("opt.out", "water.pdb");
    option("opt_in_g98")->click();
    option("opt_out_pdb")->click();
    test::control<QCheckBox>(w, "chk_multiple_geom")->click();
    button("cmd_execute")->click();
    // The route waits for its timer; meanwhile the status window shows and the stages lock.
    ASSERT_NE(status_window(), nullptr);
    EXPECT_TRUE(status_window()->isVisible());
    EXPECT_TRUE(test::control<QTimer>(w, "g98_in_call_module_timer")->isActive());
    for (const char* name : {"frame_stage_3", "frame_stage_4", "cmd_execute", "cmd_output"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(services.messages.shown.empty());
    // The close box is ignored while the job runs.
    bool closed_during_job = true;
    services.messages.while_shown = [&](const auto&) {
        closed_during_job = w->close();
        status_window()->close();
    };
    ASSERT_TRUE(test::wait_until([&] { return !services.messages.shown.empty(); }));
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Complete");
    EXPECT_FALSE(closed_during_job);
    EXPECT_EQ(window_registry::instance().find<frm_convertor>(), w);
    EXPECT_TRUE(test::wait_until([&] { return status_window() == nullptr; }));
    for (const char* name : {"1 - water.pdb", "2 - water.pdb"})
        EXPECT_EQ(test::read_file(dir / name).substr(0, 14), "ATOM      1  O") << name;
    EXPECT_FALSE(std::filesystem::exists(dir / "water.pdb"));
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_TRUE(enabled("cmd_input"));
}

TEST_F(convertor_window, ResetBeforeTheRouteStartsCancelsIt) {
    test::write_file(dir / "mol.xyz", "t\n6 0.000 1.500 -2.250\n");
    choose_files("mol.xyz", "mol.pdb");
    option("opt_in_xyz")->click();
    option("opt_out_pdb")->click();
    button("cmd_execute")->click();
    // Choosing another input file, which resets the window, before the timer fires.
    services.dialogs.queue_path((dir / "other.xyz").string());
    button("cmd_input")->click();
    EXPECT_TRUE(test::wait_until([&] { return status_window() == nullptr; }));
    QElapsedTimer clock;
    clock.start();
    test::wait_until([&] { return clock.elapsed() > 700; }, 1000);
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "mol.pdb"));
}

} // namespace
} // namespace qm
