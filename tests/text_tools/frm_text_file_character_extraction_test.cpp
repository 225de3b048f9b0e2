// The character extraction window: files, pre-scan, ranges opening in turn, the preview.
#include "shell/frm_init.h"
#include "text_tools/frm_text_file_character_extraction.h"

#include "stokes/tool_window_fixture.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace qm {
namespace {

struct char_window : test::tool_window<frm_text_file_character_extraction> {
    void SetUp() override { open<frm_init>("cmd_text_file_character_extraction"); }
    // Chooses both files; the output choice runs the pre-scan.
    void choose_files(const std::string& input_text) {
        test::write_file(dir / "in.txt", input_text);
        choose("cmd_input", "in.txt");
        choose("cmd_output", "out.txt");
    }
    // Which of ranges 1 to 5 have their start box enabled.
    std::string open_ranges() {
        std::string open;
        for (const std::string n : {"1", "2", "3", "4", "5"})
            open += enabled(("txt_range" + n + "_start").c_str()) ? n : "";
        return open;
    }
};

// Reset keeps the range texts, so a scan proposing the same range 1 changes no box: the scan
// itself opens range 2.
TEST_F(char_window, scanAfterResetProposingTheSameRangeOneOpensRangeTwo) {
    choose("cmd_input", "missing.txt");
    choose("cmd_output", "out.txt");
    EXPECT_TRUE(services.messages.shown.empty());
    expect_enabled({"cmd_execute", "txt_range1_start"}, false);
    const std::string input = "first\r\n" + std::string(80, 'x') + "\r\n";
    choose_files(input);
    EXPECT_EQ(text("txt_status") + " " + text("txt_range1_start") + ":" + text("txt_range1_finish"),
              "File Scanned - Line Length Max = 82 Min = 1 1:82");
    EXPECT_EQ(open_ranges(), "12");
    click("cmd_reset");
    expect_enabled({"cmd_output", "cmd_execute", "frame_extract", "lbl_range1"}, false);
    EXPECT_EQ(text("txt_range1_finish"), "82");
    choose_files(input);
    EXPECT_EQ(open_ranges(), "12");
    EXPECT_TRUE(enabled("cmd_execute"));
    // An error report resets the form; a range message keeps it.
    set("txt_range2_start", "2");
    click("cmd_execute");
    EXPECT_TRUE(box(1).ends_with("finish range for range 2") && enabled("cmd_execute"));
    set("txt_range2_finish", "two");
    click("cmd_execute");
    EXPECT_TRUE(box(2).starts_with("Exclamation: Quillmark: Error (Type mismatch)"));
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_EQ(text("txt_range2_start"), "");
}

TEST_F(char_window, RangesOpenInTurnAndCloseWithoutLosingTexts) {
    choose_files("0123456789\n");
    set("txt_range2_start", "2");
    EXPECT_EQ(open_ranges(), "12");
    set("txt_range2_finish", "3");
    set("txt_range3_start", "5");
    set("txt_range3_finish", "6");
    set("txt_range4_start", "7");
    set("txt_range4_finish", "7");
    EXPECT_EQ(open_ranges(), "12345");
    set("txt_range2_start", "");
    EXPECT_EQ(open_ranges(), "12");
    set("txt_range3_finish", "7"); // a later range filled opens nothing while range 2 is empty
    EXPECT_EQ(open_ranges(), "12");
    // Range 2 is left out, the disabled ranges 3 and 4 still take part.
    set("txt_range1_finish", "1");
    click("cmd_execute");
    EXPECT_EQ(box(1), "Information: Process completed: File Extraction Completed");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "04566\n");
    // Completed: back to choosing an input file, boxes emptied.
    EXPECT_EQ(text("txt_range1_finish") + text("txt_range3_start"), "");
    expect_enabled({"cmd_output", "cmd_execute", "frame_extract"}, false);
    EXPECT_EQ(open_ranges(), "");
}

TEST_F(char_window, PreviewReportsSelectionAndCaretOnKeyUp) {
    choose_files("abcdef\nxyz\n");
    auto* preview = test::control<QPlainTextEdit>(w, "txt_preview");
    QTextCursor cursor = preview->textCursor();
    cursor.setPosition(4); // "\n ab|" : offset 5 in the preview's CR LF text
    cursor.setPosition(10, QTextCursor::KeepAnchor); // across one break
    preview->setTextCursor(cursor);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(preview, &release);
    expect_texts({{"lbl_Characters_Selected", "Characters Selected = 7"},
                  {"lbl_line_position", "Character Position = 12"}});
}

} // namespace
} // namespace qm
