#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/navigation.h"
#include "text_tools/frm_text_line_extraction.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

struct line_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_Amber_Tools* menu = window_registry::instance().load<frm_Amber_Tools>();
    frm_text_line_extraction* w = open_from_sub_menu<frm_text_line_extraction>(menu);

    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(w, name); }
    QPushButton* button(const char* name) { return test::control<QPushButton>(w, name); }
    bool enabled(const char* name) { return button(name)->isEnabled(); }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button(button_name)->click();
    }
    void type(const char* name, char key) {
        // Qt's key codes of printable characters are their upper-case code points.
        const int code =
            key == '\b' ? static_cast<int>(Qt::Key_Backspace) : QChar(key).toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(QChar(key)));
        QCoreApplication::sendEvent(edit(name), &press);
    }
    void ready(const std::string& text) {
        test::write_file(dir / "in.txt", text);
        choose("cmd_Input", "in.txt");
        choose("cmd_Output", "out.txt");
    }
};

TEST_F(line_window, OpensWithItsCaptionsAndOnlyInputEnabled) {
    EXPECT_EQ(w->windowTitle(), "Text File Line Extraction Utility");
    EXPECT_FALSE(menu->isVisible());
    const std::pair<const char*, const char*> captions[] = {{"cmd_Input", "Select &Input File"},
                                                            {"cmd_Output", "Select &Output File"},
                                                            {"cmd_Execute", "E&xecute"},
                                                            {"cmd_return", "&Return to Main Menu"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(button(name)->text(), caption);
    EXPECT_EQ(test::control<QLabel>(w, "lbl_Start_Line")->text(), "Enter Starting Line:");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_frequency")->text(),
              "Enter Extraction Frequency (in Lines):");
    EXPECT_EQ(edit("txt_Start_Line")->text(), "1");
    EXPECT_EQ(edit("txt_Frequency")->text(), "4");
    EXPECT_TRUE(enabled("cmd_Input"));
    EXPECT_FALSE(enabled("cmd_Output"));
    EXPECT_FALSE(enabled("cmd_Execute"));
    EXPECT_TRUE(enabled("cmd_return"));
}

TEST_F(line_window, ReturnShowsTheAmberToolsMenuAgain) {
    button("cmd_return")->click();
    EXPECT_TRUE(menu->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_text_line_extraction>(), nullptr);
}

TEST_F(line_window, ExecuteNeedsBothFilesAndTwoNumbersAboveZero) {
    edit("txt_Frequency")->setText("5"); // typing before any file is chosen enables nothing
    EXPECT_FALSE(enabled("cmd_Execute"));
    services.dialogs.queue_cancel();
    button("cmd_Input")->click();
    EXPECT_FALSE(enabled("cmd_Output")) << "a cancelled dialog changes nothing";
    choose("cmd_Input", "in.txt");
    EXPECT_TRUE(enabled("cmd_Output"));
    EXPECT_FALSE(enabled("cmd_Execute"));
    edit("txt_Start_Line")->setText("00");
    choose("cmd_Output", "out.txt");
    EXPECT_FALSE(enabled("cmd_Execute")) << "the output does not override a zero start line";
    const std::pair<const char*, const char*> refused[] = {
        {"1", "0"}, {"1", "00"}, {"0", "4"}, {"", "4"}, {"1", ""}};
    for (const auto& [start, every] : refused) {
        edit("txt_Start_Line")->setText(start);
        edit("txt_Frequency")->setText(every);
        EXPECT_FALSE(enabled("cmd_Execute")) << start << " / " << every;
    }
    edit("txt_Start_Line")->setText("01");
    edit("txt_Frequency")->setText("10");
    EXPECT_TRUE(enabled("cmd_Execute"));
}

TEST_F(line_window, NumberBoxesTakeDigitsAndBackspaceOnly) {
    type("txt_Start_Line", 'a');
    type("txt_Frequency", '.');
    EXPECT_EQ(services.messages.beeps, 2);
    EXPECT_EQ(edit("txt_Start_Line")->text(), "1");
    EXPECT_EQ(edit("txt_Frequency")->text(), "4");
    type("txt_Start_Line", '2');
    EXPECT_EQ(edit("txt_Start_Line")->text(), "12");
    type("txt_Start_Line", '\b');
    type("txt_Start_Line", '\b');
    EXPECT_EQ(edit("txt_Start_Line")->text(), "");
    EXPECT_EQ(services.messages.beeps, 2);
}

TEST_F(line_window, ExecuteWritesTheLinesThenWaitsForANewInput) {
    ready("1\n2\n3\n4\n5\n6\n7");
    edit("txt_Start_Line")->setText("3");
    edit("txt_Frequency")->setText("2");
    ASSERT_TRUE(enabled("cmd_Execute"));
    button("cmd_Execute")->click();
    EXPECT_EQ(test::read_file(dir / "out.txt"), "3\n5\n7\n");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::information);
    EXPECT_EQ(services.messages.shown[0].title, "Job Finished");
    EXPECT_EQ(services.messages.shown[0].text, "Extraction Completed.");
    EXPECT_FALSE(enabled("cmd_Output"));
    EXPECT_FALSE(enabled("cmd_Execute"));
    EXPECT_EQ(edit("txt_Start_Line")->text(), "3");
    edit("txt_Frequency")->setText("3");
    EXPECT_FALSE(enabled("cmd_Execute")) << "a new run starts with Select Input File";
    EXPECT_EQ(w->input_path(), (dir / "in.txt").string());
}

TEST_F(line_window, StartBeyondTheEndAndFailuresLeaveTheWindowUsable) {
    ready("a\nb\n");
    edit("txt_Start_Line")->setText("3");
    button("cmd_Execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::critical);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal Error - Aborting");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_TRUE(enabled("cmd_Execute"));

    std::filesystem::remove(dir / "in.txt");
    edit("txt_Start_Line")->setText("1");
    button("cmd_Execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[1].title, "Fatal - Error");
    EXPECT_EQ(services.messages.shown[1].text,
              "Error (File not found53) in (frm_text_line_extraction: cmd_execute_click) "
              "routine.\n\rReturning to main menu");
    EXPECT_TRUE(enabled("cmd_Execute"));
    EXPECT_TRUE(w->isVisible());
}

} // namespace
} // namespace qm
