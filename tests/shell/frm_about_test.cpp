#include "shell_test.h"

#include "shell/frm_about.h"
#include "shell/frm_history.h"
#include "shell/version_history.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <string>
#include <vector>

namespace qm::test {
namespace {

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF too";
    return lines;
}

TEST(version_history, LayoutFromTitleToTheFirstVersions) {
    const std::string text = version_history_text();
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at)
        ASSERT_EQ(text[at - 1], '\r') << "a line feed without its carriage return";
    const std::vector<std::string> lines = crlf_lines(text);
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Quillmark - Version 1.8 Beta 1");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Version History (Reverse Date Order)");
    EXPECT_EQ(lines[3], std::string(40, '*'));
    EXPECT_EQ(lines[4], "");
    // The newest release comes first, word for word.
    const std::vector<std::string> newest = {
        "Version 1.8 Beta 1",
        std::string(30, '-'),
        "",
        "1) Added routines for ev_extraction to output the raw TDMS for each state extracted.",
        "   This corresponds to the TDM in the file with no RMS fitting of the structures.",
        "2) Added routines to measure the angle between the raw TDMS. The angle measured is",
        "   between the raw TDM at time t and the raw TDM of state 1 at time t=0.",
        "",
        ""};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 14), newest);
    const std::string oldest = "Versions 0.0 - 0.1\r\n" + std::string(30, '-') +
                               "\r\n\r\n1) Initial program development and construction of "
                               "routines.\r\n\r\n\r\n";
    ASSERT_GE(text.size(), oldest.size());
    EXPECT_EQ(text.substr(text.size() - oldest.size()), oldest);
}

TEST(version_history, ReleasesInOrderEachWithRuleItemsAndTwoEmptyLines) {
    const std::vector<std::string> headings = {
        "Version 1.8 Beta 1",  "Version 1.7 Beta 3",  "Version 1.7 Beta 2",  "Version 1.7 Beta 1",
        "Version 1.6 Beta 1",  "Version 1.5 Beta 2",  "Version 1.5 Beta 1",  "Version 1.4 Beta 2",
        "Version 1.4 Beta 1",  "Version 1.3 Beta 2",  "Version 1.3 Beta 1",  "Version 1.3 Alpha 1",
        "Version 1.2 Beta 1",  "Version 1.2 Alpha 4", "Version 1.2 Alpha 3", "Version 1.2 Alpha 2",
        "Version 1.2 Alpha 1", "Version 1.1 Beta 3",  "Version 1.1 Beta 2",  "Version 1.1 Beta 1",
        "Version 1.1 alpha 2", "Version 1.1 alpha 1", "Version 1.0 alpha 1", "Version 0.9 alpha 2",
        "Version 0.9 alpha 1", "Version 0.8 alpha 3", "Version 0.8 alpha 2", "Version 0.8 alpha 1",
        "Version 0.7 beta 2",  "Version 0.7 beta 1",  "Version 0.7 alpha 4", "Version 0.7 alpha 3",
        "Version 0.7 alpha 2", "Version 0.7 alpha 1", "Version 0.6 alpha 3", "Version 0.6 alpha 2",
        "Version 0.6 alpha 1", "Version 0.5 alpha 2", "Version 0.5 alpha 1", "Version 0.4 alpha 2",
        "Version 0.4 alpha 1", "Version 0.3 alpha 2", "Version 0.3 alpha 1", "Version 0.2 alpha 1",
        "Versions 0.0 - 0.1"};
    const std::vector<std::string> lines = crlf_lines(version_history_text());
    std::vector<std::string> found;
    for (std::size_t n = 5; n < lines.size();) {
        SCOPED_TRACE(lines[n]);
        found.push_back(lines[n]);
        ASSERT_LT(n + 3, lines.size());
        EXPECT_EQ(lines[n + 1], std::string(30, '-'));
        EXPECT_EQ(lines[n + 2], "");
        // Items numbered from 1, continuations indented; the block ends with two empty lines.
        int item = 0;
        for (n += 3; n < lines.size() && !lines[n].empty(); ++n) {
            const std::string number = std::to_string(item + 1) + ") ";
            if (lines[n].starts_with(number))
                ++item;
            else
                EXPECT_TRUE(lines[n].find_first_not_of(' ') == 3 ||
                            lines[n].find_first_not_of(' ') == 4)
                    << lines[n];
            EXPECT_LE(lines[n].size(), 90u);
        }
        EXPECT_GE(item, 1);
        ASSERT_LT(n + 1, lines.size());
        EXPECT_EQ(lines[n + 1], "");
        n += 2;
    }
    EXPECT_EQ(found, headings);
}

using about = shell_test;

TEST_F(about, OpensBesideTheMenuWhosePicturesKeepChanging) {
    frm_init* menu = load_menu();
    click(menu, "cmd_about");
    auto* window = window_registry::instance().find<frm_about>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    EXPECT_EQ(window->windowTitle(), "About");
    EXPECT_EQ(window->Label1->text(), "Quillmark Collection");
    EXPECT_EQ(window->lbl_version->text(), "Version 1.8 Beta 1");
    EXPECT_EQ(window->Label3->text(), "Currently Under Development");
    EXPECT_TRUE(window->lbl_not->text().contains("error trapping and correction.  It is"));
    EXPECT_EQ(window->cmd_history->text(), "&Version History");

    click(menu, "cmd_about"); // the same window again, the menu still usable
    EXPECT_EQ(window_count<frm_about>(), 1);
    click(menu, "cmd_output");
    EXPECT_TRUE(window->isVisible()) << "About stays open while other windows are used";
}

TEST_F(about, VersionHistoryExistsOnceAndCloses) {
    load_menu();
    click(window_registry::instance().load<frm_about>(), "cmd_history");
    click(window_registry::instance().find<frm_about>(), "cmd_history");
    EXPECT_EQ(window_count<frm_history>(), 1);
    auto* history = window_registry::instance().find<frm_history>();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->isVisible());
    EXPECT_TRUE(window_registry::instance().find<frm_about>()->isVisible());
    EXPECT_EQ(history->windowTitle(), "Version History");
    EXPECT_TRUE(history->txt_history->isReadOnly());
    QString expected = QString::fromStdString(version_history_text());
    expected.replace("\r\n", "\n");
    EXPECT_EQ(history->txt_history->toPlainText(), expected);

    click(history, "cmd_close");
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_history>(), nullptr);
    EXPECT_EQ(window_count<frm_history>(), 0);
    click(window_registry::instance().find<frm_about>(), "cmd_history");
    ASSERT_NE(window_registry::instance().find<frm_history>(), nullptr);
    EXPECT_EQ(window_registry::instance().find<frm_history>()->txt_history->toPlainText(),
              expected);
}

} // namespace
} // namespace qm::test
