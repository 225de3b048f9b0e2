#include "shell_test.h"

#include "conversion/frm_convertor.h"
#include "shell/frm_structure_transforms.h"

#include <QLabel>
#include <QTimer>

#include <functional>
#include <vector>

namespace qm::test {
namespace {

using main_menu = shell_test;

TEST_F(main_menu, FirstTickShows102NeverStartsWith101) {
    frm_init* menu = load_menu();
    EXPECT_EQ(menu->current_picture(), 0);
    EXPECT_EQ(menu->Picture1->pixmap().size(), QSize(225, 161));

    std::vector<int> shown;
    for (int tick = 0; tick < 9; ++tick) {
        menu->change_picture();
        shown.push_back(menu->current_picture());
        if (shown.back() == 104) { // the one picture two rows shorter than the rest
            EXPECT_EQ(menu->Picture1->pixmap().size(), QSize(222, 160));
        }
    }
    EXPECT_EQ(shown, (std::vector<int>{102, 103, 104, 101, 102, 103, 104, 101, 102}));
}

TEST_F(main_menu, PictureTimerRunsEverySixSecondsFromLoad) {
    frm_init* menu = load_menu();
    auto* timer = menu->findChild<QTimer*>("timer_pic_change");
    ASSERT_EQ(timer, menu->timer_pic_change);
    EXPECT_TRUE(timer->isActive());
    EXPECT_FALSE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 6000);
}

TEST_F(main_menu, StructuresButtonIsDisabledAndOpensNothing) {
    frm_init* menu = load_menu();
    EXPECT_FALSE(menu->cmd_structures->isEnabled());
    click(menu, "cmd_structures");
    EXPECT_EQ(window_registry::instance().find<frm_structure_transforms>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

TEST_F(main_menu, OutputToolHidesMenuAndStopsPictures) {
    frm_init* menu = load_menu();
    click(menu, "cmd_output");
    auto* convertor = window_registry::instance().find<frm_convertor>();
    ASSERT_NE(convertor, nullptr);
    EXPECT_TRUE(convertor->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());
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

TEST_F(main_menu, ExitEndsTheProgramWithoutClosingWindows) {
    frm_init* menu = load_menu();
    EXPECT_EQ(run_event_loop_after([menu] { menu->cmd_exit->click(); }), 0);
    // No close step ran: the menu is still loaded and shown until main deletes it.
    EXPECT_EQ(window_registry::instance().find<frm_init>(), menu);
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(main_menu, CloseBoxEndsTheProgram) {
    frm_init* menu = load_menu();
    EXPECT_EQ(run_event_loop_after([menu] { menu->close(); }), 0);
}

} // namespace
} // namespace qm::test
