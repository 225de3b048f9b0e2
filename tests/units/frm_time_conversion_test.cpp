#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_init.h"
#include "units/frm_time_conversion.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::string sample = "Run 7:  0 days  1 hours  2 minutes  3.5 seconds";

struct time_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_init* menu = window_registry::instance().load<frm_init>();
    frm_time_conversion* w = nullptr;

    void SetUp() override {
        menu->cmd_time_conversion->click();
        w = window_registry::instance().find<frm_time_conversion>();
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QAbstractButton* button(const char* name) { return test::control<QAbstractButton>(w, name); }
    bool enabled(const char* name) { return button(name)->isEnabled(); }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button(button_name)->click();
    }
    void ready(const std::string& input, const char* unit) {
        test::write_file(dir / "in.txt", input);
        choose("cmd_input", "in.txt");
        choose("cmd_output", "out.txt");
        button(unit)->click();
    }
};

TEST_F(time_window, OpensFromTheMainMenuWithOnlyInputAndReturnEnabled) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(w->windowTitle(), "Time Conversion Tool");
    const std::pair<const char*, const char*> captions[] = {
        {"cmd_input", "Select &Input File"},
        {"cmd_output", "Select &Output File"},
        {"opt_seconds", "Seconds"},
        {"opt_minutes", "Minutes"},
        {"opt_hours", "Hours"},
        {"opt_days", "Days"},
        {"cmd_execute", "&Execute"},
        {"cmd_main_menu", "Return to &Main Menu"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(button(name)->text(), caption) << name;
    EXPECT_EQ(test::control<QGroupBox>(w, "frm_output")->title(), "Output Time Format");
    EXPECT_EQ(test::control<QLabel>(w, "Label3")->text(), "File Access Progress");
    EXPECT_EQ(test::control<QLabel>(w, "Label7")->text(), "0%");
    EXPECT_EQ(test::control<QLabel>(w, "Label8")->text(), "100%");
    EXPECT_NE(test::control<QProgressBar>(w, "progress_bar"), nullptr);
    for (const char* picture : {"Picture1", "Picture2"}) // never an empty frame
        EXPECT_FALSE(test::control<QLabel>(w, picture)->pixmap().isNull()) << picture;
    EXPECT_TRUE(enabled("cmd_input"));
    EXPECT_TRUE(enabled("cmd_main_menu"));
    EXPECT_FALSE(enabled("cmd_output"));
    EXPECT_FALSE(test::control<QGroupBox>(w, "frm_output")->isEnabled());
    for (const char* name : {"opt_seconds", "opt_minutes", "opt_hours", "opt_days"}) {
        EXPECT_FALSE(enabled(name)) << name;
        EXPECT_FALSE(button(name)->isChecked()) << name;
    }
    EXPECT_FALSE(enabled("cmd_execute"));
}

TEST_F(time_window, EachChoiceEnablesTheNextStep) {
    services.dialogs.queue_cancel();
    button("cmd_input")->click();
    EXPECT_FALSE(enabled("cmd_output")) << "a cancelled dialog changes nothing";
    choose("cmd_input", "in.txt");
    EXPECT_TRUE(enabled("cmd_output"));
    EXPECT_FALSE(enabled("opt_seconds"));
    choose("cmd_output", "out.txt");
    EXPECT_TRUE(test::control<QGroupBox>(w, "frm_output")->isEnabled());
    for (const char* name : {"opt_seconds", "opt_minutes", "opt_hours", "opt_days"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("cmd_execute"));
    button("opt_hours")->click();
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_EQ(w->chosen_unit(), time_unit::hours);
    EXPECT_EQ(w->input_path(), (dir / "in.txt").string());
    EXPECT_EQ(w->output_path(), (dir / "out.txt").string());
}

TEST_F(time_window, ExecuteConvertsAndTheWindowIsReadyForAnotherRun) {
    ready("header\n" + sample + "\n", "opt_seconds");
    button("cmd_execute")->click();
    EXPECT_EQ(test::read_file(dir / "out.txt"), " " + sample + "\n 3723.5  Seconds\n\n");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::information);
    EXPECT_EQ(services.messages.shown[0].title, "Conversion Complete");
    EXPECT_EQ(services.messages.shown[0].text, "Conversion Completed");
    auto* bar = test::control<QProgressBar>(w, "progress_bar");
    const auto length = static_cast<int>(sample.size() + 8);
    EXPECT_EQ(bar->maximum(), 2 * length);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor) << "the normal pointer is back";
    for (const char* name : {"cmd_input", "cmd_output", "opt_minutes", "cmd_execute"})
        EXPECT_TRUE(enabled(name)) << name;

    button("opt_minutes")->click();
    button("cmd_execute")->click();
    EXPECT_EQ(test::read_file(dir / "out.txt"), " " + sample + "\n 62.05833  Minutes\n\n");
    EXPECT_EQ(services.messages.shown.size(), 2u);
}

TEST_F(time_window, FailuresAreReportedByStepAndLeaveTheWindowUsable) {
    ready(sample + "\n1 days 2 hours 3 minutes ? seconds\n", "opt_days");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal - Error");
    EXPECT_EQ(services.messages.shown[0].text,
              "Error (Type mismatch) in (frm_time_conversion submodule: convert) routine.\n\r"
              "Returning to main menu");
    EXPECT_EQ(test::read_file(dir / "out.txt"), " " + sample + "\n 0.04309607  Days\n\n");

    std::filesystem::remove(dir / "in.txt");
    button("cmd_execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 2u);
    EXPECT_EQ(services.messages.shown[1].text,
              "Error (File not found) in (frm_time_conversion cmd_execute_click) routine.\n\r"
              "Returning to main menu");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(enabled("cmd_execute"));
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(time_window, ReturnShowsTheMainMenu) {
    button("cmd_main_menu")->click();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_time_conversion>(), nullptr);
}

} // namespace
} // namespace qm
