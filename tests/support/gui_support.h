// Helpers for window tests.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace qm::test {

// Runs the event loop until `done` holds or `limit_ms` have passed; false on time-out.
template <class Pred> bool wait_until(Pred done, int limit_ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit_ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The control of that name, failing the test when it is missing.
template <class T> T* control(QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

} // namespace qm::test
