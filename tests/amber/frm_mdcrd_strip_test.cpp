#include "amber/frm_mdcrd_strip.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/navigation.h"

#include "support/gui_support.h"
#include "support/mdcrd_files.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

const test::trajectory_shape four_atoms{4, 2, "  42.439  42.439  42.439"};

struct mdcrd_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_Amber_Tools* menu = window_registry::instance().load<frm_Amber_Tools>();
    frm_mdcrd_strip* w = nullptr;

    void SetUp() override {
        test::control<QPushButton>(menu, "cmd_mdcrd")->click();
        w = window_registry::instance().find<frm_mdcrd_strip>();
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(w, name); }
    QPushButton* button(const char* name) { return test::control<QPushButton>(w, name); }
    QString label(const char* name) { return test::control<QLabel>(w, name)->text(); }
    bool enabled(const char* name) { return test::control<QWidget>(w, name)->isEnabled(); }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button(button_name)->click();
    }
    void numbers(const char* total, const char* start, const char* end) {
        edit("txt_orig_no_atoms")->setText(total);
        edit("txtStartAtom")->setText(start);
        edit("txtEndAtom")->setText(end);
    }
    void ready() {
        test::write_file(dir / "in.crd", test::trajectory(four_atoms));
        choose("cmd_Input_Files", "in.crd");
        choose("cmd_Output", "out.crd");
    }
};

TEST_F(mdcrd_window, OpensFromTheAmberMenuWithItsTextsAndOnlyInputEnabled) {
    EXPECT_EQ(w->windowTitle(), "Amber MDCRD Atom Stripper");
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(button("cmd_Input_Files")->text(), "Select  &Input Trajectory File");
    EXPECT_EQ(button("cmd_Output")->text(), "Select &Output Trajectory File");
    EXPECT_EQ(button("cmdExecute")->text(), "&Execute");
    EXPECT_EQ(button("cmd_return")->text(), "&Return to Stokes Shift Menu");
    EXPECT_EQ(label("lblStage3"), "Stage 3 - Enter Total Number of Atoms in Original MDCRD File:");
    EXPECT_EQ(label("lblRange1"), "Stage 4 - Atoms to Keep : (Inclusive)   ");
    EXPECT_EQ(label("lbl_bytes_processed"), "Bytes Processed = 0");
    EXPECT_EQ(label("lbl_bytes_remaining"), "Bytes Remaining = 0");
    const auto* box = test::control<QCheckBox>(w, "chk_BoxInfo");
    EXPECT_EQ(box->text(), "Preserve Box Info?");
    EXPECT_EQ(box->toolTip(),
              "Warning - Preserving the box info can break certain programs such as VMD.");
    for (const char* name : {"txt_orig_no_atoms", "txtStartAtom", "txtEndAtom"})
        EXPECT_EQ(edit(name)->text(), "1");
    EXPECT_TRUE(enabled("cmd_Input_Files"));
    EXPECT_TRUE(enabled("chk_BoxInfo"));
    for (const char* name :
         {"cmd_Output", "txt_orig_no_atoms", "txtStartAtom", "txtEndAtom", "cmdExecute"})
        EXPECT_FALSE(enabled(name)) << name;
}

TEST_F(mdcrd_window, ExecuteFollowsTheBoxesAndTheRange) {
    ready();
    EXPECT_TRUE(enabled("cmdExecute")) << "1, 1, 1 is a range";
    numbers("10", "5", "3");
    EXPECT_FALSE(enabled("cmdExecute"));
    numbers("10", "1", "12");
    EXPECT_FALSE(enabled("cmdExecute"));
    numbers("10", "0", "3");
    EXPECT_FALSE(enabled("cmdExecute"));
    numbers("10", "2", "");
    EXPECT_FALSE(enabled("cmdExecute"));
    numbers("4", "2", "3");
    EXPECT_TRUE(enabled("cmdExecute"));

    // Letters beep and change nothing; digits and Backspace are typed.
    const auto type = [&](int code, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit("txtEndAtom"), &press);
    };
    type(Qt::Key_A, "a");
    EXPECT_EQ(services.messages.beeps, 1);
    EXPECT_EQ(edit("txtEndAtom")->text(), "3");
    type(Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit("txtEndAtom")->text(), "");
    EXPECT_FALSE(enabled("cmdExecute"));
    type(Qt::Key_4, "4");
    EXPECT_EQ(edit("txtEndAtom")->text(), "4");
    EXPECT_TRUE(enabled("cmdExecute"));
    EXPECT_EQ(services.messages.beeps, 1);
}

TEST_F(mdcrd_window, ExecuteWritesTheStrippedTrajectoryAndAsksForANewStart) {
    ready();
    numbers("4", "2", "3");
    button("cmdExecute")->click();
    EXPECT_EQ(test::read_file(dir / "out.crd"), test::trajectory(four_atoms, 2, 3, false));
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Conversion Finished");
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Complete");
    const auto length = test::trajectory(four_atoms).size();
    EXPECT_EQ(label("lbl_bytes_processed"), QString("Bytes Processed = %1").arg(length));
    EXPECT_EQ(label("lbl_bytes_remaining"), "Bytes Remaining = 0");
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar")->value(), int(length));
    for (const char* name : {"cmd_Output", "txt_orig_no_atoms", "txtEndAtom", "txtStartAtom",
                             "cmdExecute", "chk_BoxInfo"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(enabled("cmd_Input_Files"));

    // A new run: input, output, and the box lines this time.
    choose("cmd_Input_Files", "in.crd");
    choose("cmd_Output", "all.crd");
    EXPECT_TRUE(enabled("cmdExecute"));
    numbers("4", "1", "4");
    test::control<QCheckBox>(w, "chk_BoxInfo")->setChecked(true);
    button("cmdExecute")->click();
    EXPECT_EQ(test::read_file(dir / "all.crd"), test::trajectory(four_atoms));
}

TEST_F(mdcrd_window, AMismatchIsReportedAndTheControlsKeepTheirState) {
    ready();
    numbers("5", "2", "3");
    button("cmdExecute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal - Error");
    EXPECT_NE(services.messages.shown[0].text.find("(frm_mdcrd_strip: cmd_execute_click)"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.crd"));
    EXPECT_TRUE(enabled("cmdExecute"));
    numbers("4", "2", "3");
    button("cmdExecute")->click();
    EXPECT_EQ(test::read_file(dir / "out.crd"), test::trajectory(four_atoms, 2, 3, false));
}

TEST_F(mdcrd_window, ReturnShowsTheAmberToolsMenuAgain) {
    button("cmd_return")->click();
    EXPECT_TRUE(menu->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_mdcrd_strip>(), nullptr);
}

} // namespace
} // namespace qm
