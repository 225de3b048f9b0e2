#include "shell_test.h"

#include "shell/frm_about.h"
#include "shell/frm_history.h"
#include "shell/version_history.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <string>

namespace qm::test {
namespace {

// A title block, then every release newest first: its heading, a rule, an empty line, its
// items and two empty lines. Every line ends CR LF.
TEST(version_history, TitleThenReleasesEachWithRuleItemsAndTwoEmptyLines) {
    const std::string text = version_history_text();
    const std::string rule = "\r\n" + std::string(30, '-') + "\r\n\r\n1) ";
    EXPECT_TRUE(text.starts_with("Quillmark - Version 1.8 Beta 1\r\n\r\nVersion History (Reverse "
                                 "Date Order)\r\n" +
                                 std::string(40, '*') + "\r\n\r\nVersion 1.8 Beta 1" + rule +
                                 "Added routines for ev_extraction to output the raw TDMS"));
    EXPECT_TRUE(text.ends_with("\r\n\r\n\r\nVersions 0.0 - 0.1" + rule +
                               "Initial program development and construction of routines.\r\n\r\n"
                               "\r\n"));
    auto count = [&text](const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    EXPECT_EQ(count("\n"), count("\r\n"));
    EXPECT_EQ(count(rule), 45u);                  // every release's heading and first item
    EXPECT_EQ(count("\r\n\r\n\r\nVersion"), 44u); // two empty lines between releases
}

using about = shell_test;

TEST_F(about, OpensOnceBesideTheMenuAndStaysOpenWhileOtherWindowsAreUsed) {
    frm_init* menu = load_menu();
    click(menu, "cmd_about");
    click(menu, "cmd_about"); // the same window again, the menu still usable
    EXPECT_EQ(window_count<frm_about>(), 1);
    auto* window = window_registry::instance().find<frm_about>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    click(menu, "cmd_output");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(about, VersionHistoryExistsOnceAndCloses) {
    load_menu();
    auto* about = window_registry::instance().load<frm_about>();
    click(about, "cmd_history");
    click(about, "cmd_history");
    EXPECT_EQ(window_count<frm_history>(), 1);
    auto* history = window_registry::instance().find<frm_history>();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->isVisible());
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(history->txt_history->isReadOnly());
    const QString shown = QString::fromStdString(version_history_text()).replace("\r\n", "\n");
    EXPECT_EQ(history->txt_history->toPlainText(), shown);

    click(history, "cmd_close");
    flush_deletes();
    EXPECT_EQ(window_count<frm_history>(), 0);
    EXPECT_TRUE(about->isVisible());
}

} // namespace
} // namespace qm::test
