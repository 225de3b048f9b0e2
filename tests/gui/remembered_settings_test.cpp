// Windows remember what the user set from one run of the program to the next, give it back
// through their own rules, and go back to their defaults on "Reset Settings".
#include "ev_extract/frm_ev_extract.h"
#include "platform/qt/remembered_settings.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>

namespace qm {
namespace {

void flush_deletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Keys pressed over the whole text of a box, as the user types a new value.
void type_over(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    for (const QChar c : text)
        for (const QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(t, c.toUpper().unicode(), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(box, &key);
        }
}

// What the window shows: every named box's text, every button's state, every control's
// enabling.
std::map<QString, QString> shown_state(QWidget* window) {
    std::map<QString, QString> state;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        QString shown = control->isEnabled() ? QStringLiteral("+") : QStringLiteral("-");
        if (auto* box = qobject_cast<QLineEdit*>(control))
            shown += box->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            shown += button->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
        state[name] = shown;
    }
    return state;
}

struct remembered_ev_window : ::testing::Test {
    scoped_test_services services;

    frm_ev_extract* open() { return window_registry::instance().load<frm_ev_extract>(); }
    // The program ends (its windows go without their close steps) and starts again.
    frm_ev_extract* restart() {
        window_registry::instance().destroy_all();
        flush_deletes();
        return open();
    }
    void TearDown() override {
        window_registry::instance().destroy_all();
        flush_deletes();
    }
};

TEST_F(remembered_ev_window, ReopenedAfterARestartShowsTheLastSettingsAsTypedAndResetGivesTheDefaults) {
    frm_ev_extract* w = open();
    const auto defaults = shown_state(w);
    type_over(w->txt_File_suffix, ".log");
    type_over(w->txt_interval, "5");
    w->chk_zipped_files->click();
    w->chk_tdm_data->click();
    w->chk_TDM_sep_files->click(); // enabled by the click before
    w->chk_status_file->click();
    w->txtCurrentStatus->setText("Ready to Process 3 Files."); // the job's, never remembered
    auto typed = shown_state(w);
    typed["txtCurrentStatus"] = defaults.at("txtCurrentStatus");
    ASSERT_EQ(typed.at("chk_TDM_sep_files"), "+on");
    ASSERT_EQ(typed.at("txt_File_suffix"), "+.log");

    w = restart();
    EXPECT_EQ(shown_state(w), typed);

    // Closed by the user, the window remembers as well.
    w->close();
    flush_deletes();
    w = open();
    EXPECT_EQ(shown_state(w), typed);

    QAction* reset = test::control<QAction>(w, "act_reset_settings");
    ASSERT_NE(reset, nullptr);
    reset->trigger();
    QCoreApplication::processEvents();
    flush_deletes();
    w = window_registry::instance().find<frm_ev_extract>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(shown_state(w), defaults);
    EXPECT_EQ(shown_state(restart()), defaults);
}

// A small window with the kinds of rules the tools have: a box that enables a second only
// when clicked, and option buttons enabled only later (after a scan).
struct rule_window : QWidget {
    rule_window() {
        setObjectName("frm_rules");
        auto* column = new QVBoxLayout(this);
        for (QWidget* control : {static_cast<QWidget*>(first = test_named(new QCheckBox, "chk_first")),
                                 static_cast<QWidget*>(second = test_named(new QCheckBox, "chk_second")),
                                 static_cast<QWidget*>(option_a = test_named(new QRadioButton, "opt_a")),
                                 static_cast<QWidget*>(option_b = test_named(new QRadioButton, "opt_b")),
                                 static_cast<QWidget*>(result = test_named(new QLineEdit, "txt_result"))})
            column->addWidget(control);
        second->setEnabled(false);
        option_a->setChecked(true);
        option_a->setEnabled(false);
        option_b->setEnabled(false);
        connect(first, &QCheckBox::clicked, this, [this](bool on) { second->setEnabled(on); });
        connect(option_b, &QRadioButton::clicked, this, [this] { result->setText("b chosen"); });
    }
    template <class T> static T* test_named(T* w, const char* name) {
        w->setObjectName(name);
        return w;
    }
    QCheckBox* first;
    QCheckBox* second;
    QRadioButton* option_a;
    QRadioButton* option_b;
    QLineEdit* result;
};

void remember(std::initializer_list<std::pair<const char*, QVariant>> values) {
    QSettings settings;
    for (const auto& [name, value] : values)
        settings.setValue(QStringLiteral("frm_rules/controls/") + name, value);
}

// A value comes back only where the user could have given it: a box its rules keep disabled
// stays as it is until they enable it.
TEST(RememberedSettings, AControlIsGivenItsValueOnlyOnceItsRulesEnableIt) {
    struct row {
        std::initializer_list<std::pair<const char*, QVariant>> remembered;
        bool first, second, second_enabled;
    };
    for (const row& r : {row{{{"chk_second", true}}, false, false, false},
                         row{{{"chk_first", true}, {"chk_second", true}}, true, true, true},
                         row{{{"chk_first", false}, {"chk_second", true}}, false, false, false}}) {
        QSettings().clear();
        remember(r.remembered);
        rule_window w;
        remember_settings(&w);
        EXPECT_EQ(w.first->isChecked(), r.first);
        EXPECT_EQ(w.second->isChecked(), r.second);
        EXPECT_EQ(w.second->isEnabled(), r.second_enabled);
    }
    QSettings().clear();
    remember({{"opt_b", true}, {"txt_result", "typed"}});
    rule_window w;
    remember_settings(&w);
    EXPECT_TRUE(w.option_a->isChecked());
    EXPECT_EQ(w.result->text(), "typed");
    // The scan enables the options: the remembered one is clicked, and its rule runs.
    w.option_a->setEnabled(true);
    w.option_b->setEnabled(true);
    EXPECT_TRUE(w.option_b->isChecked());
    EXPECT_FALSE(w.option_a->isChecked());
    EXPECT_EQ(w.result->text(), "b chosen");
}

// The user clicking one option turns its partners off in what is remembered too: the last
// click wins, whatever the order of the buttons.
TEST(RememberedSettings, TheLastOptionClickedWinsAndTheJobsTextsAreNotKept) {
    {
        rule_window w;
        remember_settings(&w);
        w.option_a->setEnabled(true);
        w.option_b->setEnabled(true);
        w.option_b->click();
        w.option_a->click();
        w.result->setText("set by the job");
        save_settings(&w);
    }
    rule_window w;
    w.option_a->setEnabled(true);
    w.option_b->setEnabled(true);
    remember_settings(&w);
    EXPECT_TRUE(w.option_a->isChecked());
    EXPECT_EQ(w.result->text(), "");
}

// A tool's file dialog starts in the tool's own last folder, kept between runs; a tool
// without one starts in the last folder of any tool.
TEST(RememberedSettings, EachToolsDialogStartsInItsOwnLastFolder) {
    test::temp_dir first, second;
    QWidget tool_a, tool_b;
    tool_a.setObjectName("frm_tool_a");
    tool_b.setObjectName("frm_tool_b");
    {
        qt_file_dialogs dialogs;
        dialogs.remember_folder_of(&tool_a, QString::fromStdString((first / "a.dat").string()));
    }
    qt_file_dialogs next_run;
    next_run.remember_folder_of(QString::fromStdString((second / "b.dat").string()));
    QFileDialog dialog_a(&tool_a), dialog_b(&tool_b);
    next_run.prepare(dialog_a, {});
    next_run.prepare(dialog_b, {});
    EXPECT_EQ(dialog_a.directory().absolutePath().toStdString(), first.path().string());
    EXPECT_EQ(dialog_b.directory().absolutePath().toStdString(), second.path().string());
}

} // namespace
} // namespace qm
