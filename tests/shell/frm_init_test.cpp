#include "shell_test.h"

#include "shell/frm_structure_transforms.h"
#include "shell/pictures.h"

#include <QImage>
#include <QLabel>
#include <QTimer>

#include <functional>
#include <vector>

namespace qm::test {
namespace {

TEST(pictures, SizesOfTheMenuPictureBoxEachDistinctOthersNull) {
    const std::vector<QImage> images = {start_picture().toImage(), menu_picture(101).toImage(),
                                        menu_picture(102).toImage(), menu_picture(103).toImage(),
                                        menu_picture(104).toImage()};
    const std::vector<QSize> sizes = {{225, 161}, {222, 162}, {222, 162}, {222, 162}, {222, 160}};
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].size(), sizes[i]) << i;
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " and " << j;
    }
    EXPECT_TRUE(menu_picture(100).isNull());
    EXPECT_TRUE(menu_picture(105).isNull());
}

using main_menu = shell_test;

TEST_F(main_menu, PicturesChangeEverySixSecondsAndTheFirstTickShows102) {
    frm_init* menu = load_menu();
    EXPECT_EQ(menu->current_picture(), 0);
    EXPECT_EQ(menu->Picture1->pixmap().toImage(), start_picture().toImage());
    ASSERT_EQ(menu->findChild<QTimer*>("timer_pic_change"), menu->timer_pic_change);
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    EXPECT_FALSE(menu->timer_pic_change->isSingleShot());
    EXPECT_EQ(menu->timer_pic_change->interval(), 6000);
    std::vector<int> shown;
    for (int tick = 0; tick < 9; ++tick) {
        menu->change_picture();
        shown.push_back(menu->current_picture());
        EXPECT_EQ(menu->Picture1->pixmap().toImage(), menu_picture(shown.back()).toImage());
    }
    EXPECT_EQ(shown, (std::vector<int>{102, 103, 104, 101, 102, 103, 104, 101, 102}));
}

TEST_F(main_menu, StructuresButtonIsDisabledAndOpensNothing) {
    frm_init* menu = load_menu();
    EXPECT_FALSE(menu->cmd_structures->isEnabled());
    click(menu, "cmd_structures");
    EXPECT_EQ(window_registry::instance().find<frm_structure_transforms>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
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
