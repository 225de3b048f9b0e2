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
    // Which of ranges 1 to 5 have their labels and boxes enabled.
    std::string open_ranges() {
        std::string open;
        for (const std::string n : {"1", "2", "3", "4", "5"}) {
            bool all = true;
            for (const std::string& name :
                 {"lbl_range" + n, "lbl_range" + n + "_start", "lbl_range" + n + "_finish",
                  "txt_range" + n + "_start", "txt_range" + n + "_finish"})
                all = all && enabled(name.c_str());
            open += all ? n : "";
        }
        return open;
    }
};

TEST_F(char_window, AScanProposesRangeOneAndOpensRangeTwoAFailedOneNothing) {
    EXPECT_EQ(w->windowTitle(), "Text File Character Extraction");
    expect_enabled({"cmd_output", "cmd_execute", "txt_range1_start"}, false);
    choose("cmd_input", "missing.txt");
    choose("cmd_output", "out.txt");
    EXPECT_TRUE(services.messages.shown.empty());
    expect_enabled({"cmd_execute", "txt_range1_start"}, false);
    choose_files("first\r\n" + std::string(80, 'x') + "\r\n");
    expect_texts({{"txt_status", "File Scanned - Line Length Max = 82 Min = 1"},
                  {"txt_range1_start", "1"},
                  {"txt_range1_finish", "82"}});
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_EQ(open_ranges(), "12");
    const QString preview = test::control<QPlainTextEdit>(w, "txt_preview")->toPlainText();
    EXPECT_TRUE(preview.startsWith(QStringLiteral("\n first"))) << preview.toStdString();
}

TEST_F(char_window, RangesOpenInTurnAndCloseWithoutLosingTexts) {
    choose_files("0123456789\n");
    set("txt_range2_start", "2");
    EXPECT_EQ(open_ranges(), "12");
    for (const auto& [name, value] : {std::pair{"txt_range2_finish", "3"},
                                      {"txt_range3_start", "5"},
                                      {"txt_range3_finish", "6"},
                                      {"txt_range4_start", "7"},
                                      {"txt_range4_finish", "7"}})
        set(name, value);
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

TEST_F(char_window, ValidationKeepsTheFormAndErrorsResetIt) {
    choose_files("abc\n");
    set("txt_range2_start", "2");
    click("cmd_execute");
    EXPECT_EQ(box(1),
              "Exclamation: Quillmark: Please Enter a valid start and finish range for range 2");
    EXPECT_TRUE(enabled("cmd_execute"));
    set("txt_range2_finish", "two");
    click("cmd_execute");
    EXPECT_EQ(box(2), "Exclamation: Quillmark: Error (Type mismatch) in (cmd_execute - click) "
                      "routine.\n\rReturning to main menu");
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_EQ(text("txt_range2_start"), "");
}

TEST_F(char_window, scanAfterResetProposingTheSameRangeOneOpensRangeTwo) {
    choose_files("abc\n");
    click("cmd_reset");
    expect_enabled({"cmd_output", "cmd_execute", "frame_extract", "lbl_range1"}, false);
    EXPECT_EQ(text("txt_range1_finish"), "4"); // Reset keeps the texts
    choose_files("abc\n");                     // range 1 texts stay 1 and 4: no Change event
    EXPECT_EQ(open_ranges(), "12");
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
