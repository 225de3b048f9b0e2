#include "shell_test.h"

#include "shell/pictures.h"

#include <QImage>
#include <QLabel>
#include <QTimer>

#include <functional>
#include <vector>

namespace qm::test {
namespace {

using main_menu = shell_test;

TEST_F(main_menu, AsLoadedStructuresIsShutAndPicturesChangeEverySixSecondsFrom102) {
    frm_init* menu = load_menu();
    EXPECT_EQ(menu->current_picture(), 0);
    EXPECT_EQ(menu->Picture1->pixmap().toImage(), start_picture().toImage());
    EXPECT_FALSE(menu->cmd_structures->isEnabled());
    ASSERT_EQ(menu->findChild<QTimer*>("timer_pic_change"), menu->timer_pic_change);
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    EXPECT_FALSE(menu->timer_pic_change->isSingleShot());
    EXPECT_EQ(menu->timer_pic_change->interval(), 6000);
    std::vector<int> shown;
    QImage before = start_picture().toImage();
    for (int tick = 0; tick < 9; ++tick) {
        menu->change_picture();
        shown.push_back(menu->current_picture());
        const QImage now = menu->Picture1->pixmap().toImage();
        EXPECT_EQ(now, menu_picture(shown.back()).toImage());
        EXPECT_NE(now, before) << "every picture its own";
        before = now;
    }
    EXPECT_EQ(shown, (std::vector<int>{102, 103, 104, 101, 102, 103, 104, 101, 102}));
}

// Runs the event loop until something ends it; a guard ends it with 99 after five seconds.
int run_event_loop_after(const std::function<void()>& action) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    QTimer::singleShot(0, action);
    return QCoreApplication::exec();
}

TEST_F(main_menu, ExitAndTheCloseBoxEndTheProgramWithoutClosingWindows) {
    frm_init* menu = load_menu();
    EXPECT_EQ(run_event_loop_after([menu] { menu->cmd_exit->click(); }), 0);
    // No close step ran: the menu is still loaded and shown until main deletes it.
    EXPECT_EQ(window_registry::instance().find<frm_init>(), menu);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(run_event_loop_after([menu] { menu->close(); }), 0);
}

} // namespace
} // namespace qm::test
