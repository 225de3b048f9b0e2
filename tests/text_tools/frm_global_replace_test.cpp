// The global replace window: what enables each control, and a run with backups.
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

TEST_F(replace_window, EnablingFollowsSelectionAndFirstSearchTextThenExecuteRewrites) {
    // The box keeps its caption, too narrow to show it beside "Create Backups: ".
    auto* backups = test::control<QCheckBox>(w, "chk_backups");
    EXPECT_EQ(backups->text(), "Check1");
    EXPECT_LT(backups->width(), backups->fontMetrics().horizontalAdvance("Check1"));
    const auto pair2 = {"frm_replacement2", "txt_search2", "txt_replace2", "cmd_execute"};
    expect_enabled({"frm_replacement1", "txt_search1"}, false);
    test::write_file(dir / "a.txt", "abbb");
    test::write_file(dir / "b.txt", "b");
    services.dialogs.queue_paths({(dir / "a.txt").string(), (dir / "b.txt").string()});
    click("cmd_input");
    expect_enabled({"frm_replacement1", "txt_search1"}, true);
    expect_enabled(pair2, false);
    EXPECT_EQ(test::control<path_label>(w, "lbl_input_path")->full_text().toStdString(),
              "2 files in " + dir.path().string());
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar")->maximum(), 2);
    set("txt_search1", "x");
    expect_enabled(pair2, true);
    set("txt_search1", "");
    EXPECT_FALSE(enabled("cmd_execute"));
    set("txt_search1", "ab");
    set("txt_replace1", "a");
    backups->setChecked(true);
    click("cmd_execute");
    EXPECT_EQ(test::read_file(dir / "a.txt") + test::read_file(dir / "a.txt.bak"), "aabbb");
    EXPECT_EQ(text("lbl_files_processed") + ", " + text("lbl_files_remaining") + ", " +
                  text("lbl_replacements_made"),
              "Files Processed = 2, Files Remaining = 0, Replacements Made = 3");
    expect_return_to_menu("cmd_return_to_menu");
}

} // namespace
} // namespace qm
