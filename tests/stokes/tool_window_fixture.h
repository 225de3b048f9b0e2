// A Stokes shift tool window opened by its button of the Stokes shift tools sub-menu, with
// scripted message boxes and file dialogs and a private folder.
#pragma once

#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_stokes_shift_tools.h"

#include "support/gui_support.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm::test {

template <class W> struct tool_window : ::testing::Test {
    scoped_test_services services;
    temp_dir dir;
    frm_stokes_shift_tools* menu = window_registry::instance().load<frm_stokes_shift_tools>();
    W* w = nullptr;

    void open(const char* menu_button) {
        control<QPushButton>(menu, menu_button)->click();
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
    QPushButton* button(const char* name) { return control<QPushButton>(w, name); }
    bool enabled(const char* name) { return button(name)->isEnabled(); }
    void choose(const char* button_name, const std::string& file) {
        services.dialogs.queue_path((dir / file).string());
        button(button_name)->click();
    }
    // Return shows the sub-menu again and unloads the window.
    void expect_return_to_menu() {
        button("cmd_return")->click();
        EXPECT_TRUE(menu->isVisible());
        flush_deletes();
        EXPECT_EQ(window_registry::instance().find<W>(), nullptr);
    }
};

} // namespace qm::test
