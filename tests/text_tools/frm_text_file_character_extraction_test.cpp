#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "text_tools/frm_text_file_character_extraction.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct char_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_text_file_character_extraction* w =
        window_registry::instance().load<frm_text_file_character_extraction>();

    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(w, name); }
    bool enabled(const char* name) { return test::control<QWidget>(w, name)->isEnabled(); }
    void click(const char* name) { test::control<QPushButton>(w, name)->click(); }
    void set(const char* name, const char* text) { edit(name)->setText(text); }
    std::string text(const char* name) { return edit(name)->text().toStdString(); }
    std::string label(const char* name) {
        return test::control<QLabel>(w, name)->text().toStdString();
    }
    // Chooses both files; the output choice runs the pre-scan.
    void choose(const std::string& input_text) {
        test::write_file(dir / "in.txt", input_text);
        services.dialogs.queue_path((dir / "in.txt").string());
        click("cmd_input");
        services.dialogs.queue_path((dir / "out.txt").string());
        click("cmd_output");
    }
    bool range_enabled(int n) {
        const std::string r = "range" + std::to_string(n);
        bool all = true;
        for (const std::string& name : {"lbl_" + r, "lbl_" + r + "_start", "lbl_" + r + "_finish",
                                        "txt_" + r + "_start", "txt_" + r + "_finish"})
            all = all && enabled(name.c_str());
        return all;
    }
};

TEST_F(char_window, OpensWaitingForAnInputFile) {
    EXPECT_EQ(w->windowTitle(), "Text File Character Extraction");
    EXPECT_TRUE(enabled("cmd_input"));
    EXPECT_FALSE(enabled("cmd_output"));
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_TRUE(enabled("frame_extract"));
    EXPECT_TRUE(enabled("lbl_range1"));
    EXPECT_FALSE(enabled("txt_range1_start"));
    EXPECT_FALSE(enabled("lbl_range2"));
    EXPECT_EQ(label("lbl_Characters_Selected"), "Characters Selected = 0");
}

TEST_F(char_window, ScanProposesRangeOneAndOpensRangeTwo) {
    choose("first\r\n" + std::string(80, 'x') + "\r\n");
    EXPECT_EQ(text("txt_status"), "File Scanned - Line Length Max = 82 Min = 1");
    EXPECT_EQ(text("txt_range1_start"), "1");
    EXPECT_EQ(text("txt_range1_finish"), "82");
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_TRUE(range_enabled(1));
    EXPECT_TRUE(range_enabled(2));
    EXPECT_FALSE(range_enabled(3));
    const QString preview = test::control<QPlainTextEdit>(w, "txt_preview")->toPlainText();
    EXPECT_TRUE(preview.startsWith(QStringLiteral("\n first"))) << preview.toStdString();
}

TEST_F(char_window, RangesOpenInTurnAndCloseWithoutLosingTexts) {
    choose("0123456789\n");
    set("txt_range2_start", "2");
    EXPECT_FALSE(range_enabled(3));
    set("txt_range2_finish", "3");
    EXPECT_TRUE(range_enabled(3));
    set("txt_range3_start", "5");
    set("txt_range3_finish", "6");
    set("txt_range4_start", "7");
    set("txt_range4_finish", "7");
    EXPECT_TRUE(range_enabled(5));
    set("txt_range2_start", "");
    for (int n = 3; n <= 5; ++n)
        EXPECT_FALSE(range_enabled(n)) << n;
    EXPECT_TRUE(range_enabled(2));
    EXPECT_EQ(text("txt_range3_start"), "5");
    // Range 2 is left out, the disabled ranges 3 and 4 still take part.
    set("txt_range1_start", "1");
    set("txt_range1_finish", "1");
    click("cmd_execute");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text, "File Extraction Completed");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "0456\n");
    // Completed: back to choosing an input file, boxes emptied.
    EXPECT_EQ(text("txt_range1_finish"), "");
    EXPECT_EQ(text("txt_range3_start"), "");
    for (const char* name : {"cmd_output", "cmd_execute", "frame_extract", "txt_range1_start"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_FALSE(range_enabled(2));
    EXPECT_TRUE(enabled("cmd_input"));
}

TEST_F(char_window, ValidationKeepsTheFormAndErrorsResetIt) {
    choose("abc\n");
    set("txt_range2_start", "2");
    click("cmd_execute");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[0].text,
              "Please Enter a valid start and finish range for range 2");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_EQ(text("txt_range1_finish"), "4");

    set("txt_range2_finish", "two");
    click("cmd_execute");
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].title, "Quillmark");
    EXPECT_EQ(services.messages.shown[1].text,
              "Error (Type mismatch) in (cmd_execute - click) routine.\n\rReturning to main menu");
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_EQ(text("txt_range2_start"), "");
}

TEST_F(char_window, ResetAndFailedScan) {
    choose("abc\n");
    click("cmd_reset");
    for (const char* name : {"cmd_output", "cmd_execute", "frame_extract", "lbl_range1"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_EQ(text("txt_range1_finish"), "4"); // Reset keeps the texts

    std::filesystem::remove(dir / "in.txt");
    services.dialogs.queue_path((dir / "in.txt").string());
    click("cmd_input");
    services.dialogs.queue_path((dir / "out.txt").string());
    click("cmd_output");
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_FALSE(enabled("cmd_execute"));
    EXPECT_FALSE(enabled("frame_extract"));
}

TEST_F(char_window, scanAfterResetProposingTheSameRangeOneOpensRangeTwo) {
    choose("abc\n");
    click("cmd_reset");
    choose("abc\n"); // range 1 texts stay 1 and 4: no Change event
    EXPECT_TRUE(range_enabled(1));
    EXPECT_TRUE(range_enabled(2));
    EXPECT_FALSE(range_enabled(3));
}

TEST_F(char_window, PreviewReportsSelectionAndCaretOnKeyUp) {
    choose("abcdef\nxyz\n");
    auto* preview = test::control<QPlainTextEdit>(w, "txt_preview");
    QTextCursor cursor = preview->textCursor();
    cursor.setPosition(4); // "\n ab|" : offset 5 in the preview's CR LF text
    cursor.setPosition(10, QTextCursor::KeepAnchor); // across one break
    preview->setTextCursor(cursor);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(preview, &release);
    EXPECT_EQ(label("lbl_Characters_Selected"), "Characters Selected = 7");
    EXPECT_EQ(label("lbl_line_position"), "Character Position = 12");
}

} // namespace
} // namespace qm
