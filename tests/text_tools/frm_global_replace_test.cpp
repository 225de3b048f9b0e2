#include "platform/qt/path_label.h"
#include "shell/frm_init.h"
#include "text_tools/frm_global_replace.h"

#include "stokes/tool_window_fixture.h"

#include <QCheckBox>
#include <QProgressBar>

namespace qm {
namespace {

struct replace_window : test::tool_window<frm_global_replace> {
    void SetUp() override { open<frm_init>("cmd_global_replace"); }
};

TEST_F(replace_window, EnablingFollowsSelectionAndFirstSearchText) {
    EXPECT_EQ(w->windowTitle(), "Global Search & Replace");
    // The box keeps its caption, too narrow to show it beside "Create Backups: ".
    auto* backups = test::control<QCheckBox>(w, "chk_backups");
    EXPECT_EQ(backups->text(), "Check1");
    EXPECT_LT(backups->width(), backups->fontMetrics().horizontalAdvance("Check1"));
    const auto pair1 = {"frm_replacement1", "lbl_search1", "txt_search1", "lbl_replace1",
                        "txt_replace1"};
    const auto pair2 = {"frm_replacement2", "lbl_search2",  "txt_search2",
                        "lbl_replace2",     "txt_replace2", "cmd_execute"};
    expect_enabled(pair1, false);
    services.dialogs.queue_paths({(dir / "a").string(), (dir / "b").string()});
    click("cmd_input");
    expect_enabled(pair1, true);
    EXPECT_EQ(text("lbl_files_remaining"), "Files Remaining = 2");
    EXPECT_EQ(services.dialogs.asked.back().title, "Select Files to Search");
    EXPECT_EQ(test::control<path_label>(w, "lbl_input_path")->full_text().toStdString(),
              "2 files in " + dir.path().string());
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar")->maximum(), 2);
    expect_enabled(pair2, false);
    set("txt_search1", "x");
    expect_enabled(pair2, true);
    set("txt_search1", "");
    EXPECT_FALSE(enabled("cmd_execute"));
    expect_return_to_menu("cmd_return_to_menu");
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
    EXPECT_EQ(test::read_file(dir / "a.txt") + test::read_file(dir / "a.txt.bak"), "aabbb");
    expect_texts({{"lbl_files_processed", "Files Processed = 2"},
                  {"lbl_files_remaining", "Files Remaining = 0"},
                  {"lbl_replacements_made", "Replacements Made = 3"}});
    EXPECT_EQ(box(1), "Information: Process Complete: Search and Replace Finished\n\rMade 3 "
                      "replacements in 1 files.");
    // Same selection again: the backup exists, so the run stops with the error report.
    test::write_file(dir / "a.txt", "ab");
    click("cmd_execute");
    EXPECT_EQ(box(2).substr(0, 26), "Exclamation: Fatal - Error");
    EXPECT_EQ(test::read_file(dir / "a.txt"), "ab");
    EXPECT_TRUE(enabled("cmd_execute"));
}

} // namespace
} // namespace qm
