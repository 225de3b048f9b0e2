#include "conversion/frm_convertor.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "shell/frm_convertor_status.h"

#include "support/gaussian_files.h"
#include "support/gui_support.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct convertor_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_convertor* w = window_registry::instance().load<frm_convertor>();

    void TearDown() override { window_registry::instance().destroy_all(); }

    QAbstractButton* button(const char* name) { return test::control<QAbstractButton>(w, name); }
    // The enabled controls among `names`, each by its name's last part and a blank.
    std::string enabled_of(std::initializer_list<std::string_view> names) {
        std::string text;
        for (const std::string_view name : names)
            if (test::control<QWidget>(w, std::string(name).c_str())->isEnabled())
                text += std::string(name.substr(name.rfind('_') + 1)) + " ";
        return text;
    }
    std::string stages() {
        return enabled_of({"cmd_input", "cmd_output", "frame_stage_3", "opt_in_g98", "opt_in_xyz",
                           "cmd_execute", "opt_out_pdb", "chk_multiple_geom"});
    }
    // Stages 1 and 2 with the given files, then the given input type, output type and others.
    void prepare(const std::string& input, const std::string& output,
                 std::initializer_list<const char*> clicks = {}) {
        services.dialogs.queue_path((dir / input).string());
        button("cmd_input")->click();
        services.dialogs.queue_path((dir / output).string());
        button("cmd_output")->click();
        for (const char* name : clicks)
            button(name)->click();
    }
    frm_convertor_status* status_window() {
        return window_registry::instance().find<frm_convertor_status>();
    }
};

TEST_F(convertor_window, StagesOpenInTurnAndResetShutsThem) {
    EXPECT_EQ(w->windowTitle(), "Gaussian Output Convertor");
    EXPECT_EQ(stages(), "input ");
    prepare("in.xyz", "out.pdb");
    EXPECT_EQ(stages(), "input output 3 g98 xyz execute ");
    // The output is written over: only its dialog is a save dialog that asks first.
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::read);
    EXPECT_EQ(services.dialogs.asked[1].purpose, file_purpose::overwrite);
    EXPECT_EQ(test::control<path_label>(w, "lbl_output_path")->toolTip().toStdString(),
              (dir / "out.pdb").string());
    // Execute without an input type starts nothing; a cancelled dialog opens no stage.
    button("cmd_execute")->click();
    EXPECT_TRUE(status_window() == nullptr && enabled_of({"frame_stage_3"}).empty());
    services.dialogs.queue_cancel();
    button("cmd_input")->click();
    EXPECT_EQ(stages(), "input ");

    prepare("in", "out", {"opt_in_g98", "opt_out_freq", "cmd_reset"});
    EXPECT_FALSE(button("opt_in_g98")->isChecked() || button("opt_out_freq")->isChecked());
    EXPECT_EQ(stages(), "input ");
}

// Each input type offers its output types, the standard layouts as their own-layout
// neighbours (and standard XYZ for an XYZ file, which it turns into one every program reads);
// the multiple-geometries box for Gaussian outputs and XYZ files (trajectories),
// and the Gaussian 94 and frequency outputs uncheck it.
TEST_F(convertor_window, InputTypeEnablesItsOutputTypes) {
    prepare("in", "out");
    EXPECT_EQ(
        (button("opt_out_standard_xyz")->text() + "|" + button("opt_out_standard_pdb")->text())
            .toStdString(),
        "XYZ (standard, with atom count)|PDB (standard columns)");
    std::string offered;
    for (const char* input : {"opt_in_g98", "opt_in_g94", "opt_in_gaussian_cart", "opt_in_xyz"}) {
        button(input)->click();
        offered += enabled_of({"opt_out_g94", "opt_out_pdb", "opt_out_xyz", "opt_out_freq",
                               "opt_out_standard_xyz", "opt_out_standard_pdb", "chk_multiple_geom",
                               "lbl_multiple_geom"}) +
                   "|";
    }
    EXPECT_EQ(offered, "g94 pdb xyz freq xyz pdb geom geom |pdb xyz xyz pdb geom geom |"
                       "pdb xyz xyz pdb |pdb xyz pdb geom geom |");

    auto* multiple = button("chk_multiple_geom");
    for (const char* name : {"opt_in_g98", "chk_multiple_geom", "opt_out_freq"})
        button(name)->click();
    EXPECT_FALSE(multiple->isChecked() || multiple->isEnabled());
    button("opt_out_pdb")->click(); // Gaussian output: the box comes back
    EXPECT_TRUE(multiple->isEnabled());
    for (const char* name : {"opt_out_g94", "opt_in_gaussian_cart", "opt_out_standard_xyz"})
        button(name)->click(); // not for a Gaussian input file
    EXPECT_FALSE(multiple->isEnabled());
    for (const char* name : {"opt_out_g94", "opt_in_xyz", "opt_out_standard_pdb"})
        button(name)->click(); // an XYZ trajectory: every frame
    EXPECT_TRUE(multiple->isEnabled());
}

// A standard XYZ trajectory becomes one PDB of numbered models, the same job as the command
// line's, and the completion message is the usual one.
TEST_F(convertor_window, ExecuteWritesAStandardPdbOfEveryFrame) {
    test::write_file(dir / "md.xyz", "1\nframe 1\nC 0 0 0\n1\nframe 2\nC 0 0 1.5\n");
    prepare("md.xyz", "md.pdb",
            {"opt_in_xyz", "opt_out_standard_pdb", "chk_multiple_geom", "cmd_execute"});
    ASSERT_TRUE(test::wait_until([&] { return !services.messages.shown.empty(); }));
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Complete");
    const auto pdb = test::lines_of(test::read_file(dir / "md.pdb"));
    ASSERT_EQ(pdb.size(), 7u);
    EXPECT_EQ(pdb[4] + "|" + pdb[6],
              "ATOM      1  C1  MOL A   1       0.000   0.000   1.500  1.00  "
              "0.00           C|END");
}

TEST_F(convertor_window, ExecuteWritesEveryGeometryOfAGaussian98FileWhileTheCloseBoxWaits) {
    test::write_file(dir / "opt.out",
                     test::gaussian_output(test::g98_banner, test::g98_table(test::water) +
                                                                 test::g98_table(test::water)));
    prepare("opt.out", "water.pdb",
            {"opt_in_g98", "opt_out_pdb", "chk_multiple_geom", "cmd_execute"});
    // The route waits for its timer; meanwhile the status window shows and the stages lock.
    ASSERT_TRUE(status_window() && status_window()->isVisible());
    EXPECT_TRUE(test::control<QTimer>(w, "g98_in_call_module_timer")->isActive());
    EXPECT_EQ(enabled_of({"frame_stage_3", "frame_stage_4", "cmd_execute", "cmd_output"}), "");
    // The close box is ignored while the job runs.
    bool closed_during_job = true;
    services.messages.while_shown = [&](const auto&) {
        closed_during_job = w->close();
        status_window()->close();
    };
    ASSERT_TRUE(test::wait_until([&] { return !services.messages.shown.empty(); }));
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Complete");
    EXPECT_FALSE(closed_during_job);
    EXPECT_TRUE(test::wait_until([&] { return status_window() == nullptr; }));
    for (const char* name : {"1 - water.pdb", "2 - water.pdb"})
        EXPECT_EQ(test::read_file(dir / name).substr(0, 14), "ATOM      1  O") << name;
    EXPECT_FALSE(std::filesystem::exists(dir / "water.pdb"));
    EXPECT_EQ(stages(), "input ");
}

TEST_F(convertor_window, ResetBeforeTheRouteStartsCancelsIt) {
    test::write_file(dir / "mol.xyz", "t\n6 0.000 1.500 -2.250\n");
    prepare("mol.xyz", "mol.pdb", {"opt_in_xyz", "opt_out_pdb", "cmd_execute"});
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
