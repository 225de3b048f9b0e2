// A tool window opened by its button on a menu, with scripted message boxes and file dialogs
// and a private folder; every test leaves no window behind.
#pragma once

#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"

#include "stokes/job_checks.h"
#include "support/gui_support.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

#include <initializer_list>

namespace qm::test {

template <class W> struct tool_window : ::testing::Test {
    scoped_test_services services;
    temp_dir dir;
    QWidget* menu = nullptr; // the menu the window was opened from
    W* w = nullptr;

    template <class Menu> void open(const char* menu_button) {
        menu = window_registry::instance().load<Menu>();
        control<QAbstractButton>(menu, menu_button)->click();
        w = window_registry::instance().find<W>();
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override {
        window_registry::instance().destroy_all();
        flush_deletes();
    }
    // Closed windows delete themselves on the next turn of the event loop; tests have none.
    static void flush_deletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QAbstractButton* button(const char* name) { return control<QAbstractButton>(w, name); }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(w, name); }
    bool enabled(const char* name) { return control<QWidget>(w, name)->isEnabled(); }
    void click(const char* name) { button(name)->click(); }
    void set(const char* name, const std::string& text) {
        edit(name)->setText(QString::fromStdString(text));
    }
    // A button's caption, a label's or a box's text, a frame's title.
    std::string text(const char* name) {
        QObject* c = control<QObject>(w, name);
        return c->property(qobject_cast<QGroupBox*>(c) ? "title" : "text").toString().toStdString();
    }
    // Keys pressed and released in a box, as the user types them; \x7f is Delete and \x01 End,
    // a key without text.
    void type(const char* name, const std::string& keys) {
        for (const char key : keys) {
            const int code = key == '\b'     ? int(Qt::Key_Backspace)
                             : key == '\x7f' ? int(Qt::Key_Delete)
                             : key == '\x01' ? int(Qt::Key_End)
                                             : QChar(key).toUpper().unicode();
            for (const QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(t, code, Qt::NoModifier, key == '\x01' ? "" : QString(QChar(key)));
                QCoreApplication::sendEvent(edit(name), &event);
            }
        }
    }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        click(button_name);
    }
    // The last message box shown, in one line, after checking how many there were.
    std::string box(std::size_t count) {
        EXPECT_EQ(services.messages.shown.size(), count);
        return services.messages.shown.empty() ? "" : box_line(services.messages.shown.back());
    }
    void expect_texts(std::initializer_list<std::pair<const char*, const char*>> expected) {
        for (const auto& [name, shown] : expected)
            EXPECT_EQ(text(name), shown) << name;
    }
    void expect_enabled(std::initializer_list<const char*> names, bool on) {
        for (const char* name : names)
            EXPECT_EQ(enabled(name), on) << name;
    }
    // The window hides its menu; Return shows the menu again and unloads the window.
    void expect_return_to_menu(const char* return_button = "cmd_return") {
        EXPECT_FALSE(menu->isVisible());
        click(return_button);
        EXPECT_TRUE(menu->isVisible());
        flush_deletes();
        EXPECT_EQ(window_registry::instance().find<W>(), nullptr);
    }
};

} // namespace qm::test
