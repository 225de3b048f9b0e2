// A fixture for window tests of the shell: every test starts without windows and leaves none.
#pragma once

#include "platform/qt/window_registry.h"
#include "shell/frm_init.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qm::test {

class shell_test : public ::testing::Test {
protected:
    void TearDown() override {
        window_registry::instance().destroy_all();
        flush_deletes();
    }

    // Closed windows delete themselves on the next turn of the event loop; tests have none.
    static void flush_deletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static frm_init* load_menu() { return window_registry::instance().load<frm_init>(); }

    static void click(QWidget* window, const char* name) {
        auto* button = window->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
};

} // namespace qm::test
