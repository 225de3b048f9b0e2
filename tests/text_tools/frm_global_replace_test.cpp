#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_init.h"
#include "shell/navigation.h"
#include "text_tools/frm_global_replace.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct replace_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_init* menu = window_registry::instance().load<frm_init>();
    frm_global_replace* w = open_from_main_menu<frm_global_replace>();

    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget* widget(const char* name) { return test::control<QWidget>(w, name); }
    QString label(const char* name) { return test::control<QLabel>(w, name)->text(); }
    void set(const char* name, const char* text) {
        test::control<QLineEdit>(w, name)->setText(text);
    }
    void click(const char* name) { test::control<QAbstractButton>(w, name)->click(); }
};

TEST_F(replace_window, EnablingFollowsSelectionAndFirstSearchText) {
    EXPECT_EQ(w->windowTitle(), "Global Search & Replace");
    EXPECT_FALSE(menu->isVisible());
    // The box keeps its caption, too narrow to show it beside "Create Backups: ".
    auto* backups = test::control<QCheckBox>(w, "chk_backups");
    EXPECT_EQ(backups->text(), "Check1");
    EXPECT_LT(backups->width(), backups->fontMetrics().horizontalAdvance("Check1"));
    const char* pair1[] = {"frm_replacement1", "lbl_search1", "txt_search1", "lbl_replace1",
                           "txt_replace1"};
    const char* pair2[] = {"frm_replacement2", "lbl_search2",  "txt_search2",
                           "lbl_replace2",     "txt_replace2", "cmd_execute"};
    for (const char* name : pair1)
        EXPECT_FALSE(widget(name)->isEnabled()) << name;
    services.dialogs.queue_paths({(dir / "a").string(), (dir / "b").string()});
    click("cmd_input");
    for (const char* name : pair1)
        EXPECT_TRUE(widget(name)->isEnabled()) << name;
    EXPECT_EQ(label("lbl_files_remaining"), "Files Remaining = 2");
    EXPECT_EQ(services.dialogs.asked.back().title, "Select Files to Search");
    EXPECT_EQ(test::control<path_label>(w, "lbl_input_path")->full_text().toStdString(),
              "2 files in " + dir.path().string());
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar")->maximum(), 2);
    for (const char* name : pair2)
        EXPECT_FALSE(widget(name)->isEnabled()) << name;
    set("txt_search1", "x");
    for (const char* name : pair2)
        EXPECT_TRUE(widget(name)->isEnabled()) << name;
    set("txt_search1", "");
    EXPECT_FALSE(widget("cmd_execute")->isEnabled());
}

TEST_F(replace_window, ExecuteRewritesAndReportsThenRunsAgain) {
    test::write_file(dir / "a.txt", "abbb");
    test::write_file(dir / "b.txt", "b");
    services.dialogs.queue_paths({(dir / "a.txt").string(), (dir / "b.txt").string()});
    click("cmd_input");
    set("txt_search1", "ab");
    set("txt_replace1", "a");
    test::control<QCheckBox>(w, "chk_backups")->setChecked(true);
    click("cmd_execute");
    EXPECT_EQ(test::read_file(dir / "a.txt"), "a");
    EXPECT_EQ(test::read_file(dir / "a.txt.bak"), "abbb");
    EXPECT_EQ(label("lbl_files_processed"), "Files Processed = 2");
    EXPECT_EQ(label("lbl_files_remaining"), "Files Remaining = 0");
    EXPECT_EQ(label("lbl_replacements_made"), "Replacements Made = 3");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Process Complete");
    EXPECT_EQ(services.messages.shown[0].text,
              "Search and Replace Finished\n\rMade 3 replacements in 1 files.");
    // Same selection again: the backup exists, so the run stops with the error report.
    test::write_file(dir / "a.txt", "ab");
    click("cmd_execute");
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].title, "Fatal - Error");
    EXPECT_EQ(test::read_file(dir / "a.txt"), "ab");
    EXPECT_TRUE(widget("cmd_execute")->isEnabled());
}

TEST_F(replace_window, ReturnShowsTheMainMenu) {
    click("cmd_return_to_menu");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_global_replace>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
}

} // namespace
} // namespace qm
