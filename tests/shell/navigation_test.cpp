#include "shell_test.h"

#include "conversion/frm_convertor.h"
#include "ev_extract/frm_ev_extract.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/frm_structure_transforms.h"
#include "shell/navigation.h"
#include "text_tools/frm_text_line_extraction.h"

#include <QTimer>

#include <set>

namespace qm::test {
namespace {

std::set<QWidget*> visible_windows() {
    std::set<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            windows.insert(widget);
    return windows;
}

// Every window opened from the main menu leaves the same way, whether it was opened by its
// menu button or not (the structure transformation button is disabled).
template <class W> class menu_window : public shell_test {};
using menu_windows = ::testing::Types<frm_stokes_shift_tools, frm_Amber_Tools,
                                      frm_structure_transforms, frm_convertor>;
TYPED_TEST_SUITE(menu_window, menu_windows);

TYPED_TEST(menu_window, ReturnShowsMenuWithPicturesMoving) {
    frm_init* menu = this->load_menu();
    TypeParam* window = open_from_main_menu<TypeParam>();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());

    this->click(window, "cmd_return");
    this->flush_deletes();
    EXPECT_EQ(window_registry::instance().find<TypeParam>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
    EXPECT_EQ(menu->timer_pic_change->interval(), 6000);
}

TYPED_TEST(menu_window, CloseBoxShowsMenuWithPicturesStill) {
    frm_init* menu = this->load_menu();
    open_from_main_menu<TypeParam>()->close();
    this->flush_deletes();
    EXPECT_EQ(window_registry::instance().find<TypeParam>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());
}

using navigation = shell_test;

TEST_F(navigation, MenuButtonsOpenTheirSubMenus) {
    struct route {
        const char* button;
        const char* window;
    };
    for (const route& r :
         {route{"cmd_stokes_shift_tools", "frm_stokes_shift_tools"},
          route{"cmd_Amber", "frm_Amber_Tools"}, route{"cmd_output", "frm_convertor"},
          route{"cmd_text_file_character_extraction", "frm_text_file_character_extraction"},
          route{"cmd_global_replace", "frm_global_replace"}}) {
        SCOPED_TRACE(r.button);
        frm_init* menu = load_menu();
        const std::set<QWidget*> before = visible_windows();
        click(menu, r.button);
        const std::set<QWidget*> after = visible_windows();
        std::set<QString> appeared;
        for (QWidget* window : after)
            if (before.count(window) == 0)
                appeared.insert(window->objectName());
        EXPECT_EQ(appeared, std::set<QString>{r.window});
        EXPECT_EQ(after.count(menu), 0u);
        EXPECT_FALSE(menu->timer_pic_change->isActive());
        window_registry::instance().destroy_all();
    }
}

TEST_F(navigation, SubMenuExistsOnceAcrossReturnsAndCloseBox) {
    frm_init* menu = load_menu();
    click(menu, "cmd_Amber");
    auto* first = window_registry::instance().find<frm_Amber_Tools>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(window_registry::instance().load<frm_Amber_Tools>(), first);

    first->close();
    flush_deletes();
    click(menu, "cmd_Amber");
    click(window_registry::instance().find<frm_Amber_Tools>(), "cmd_return");
    flush_deletes();
    click(menu, "cmd_Amber");
    EXPECT_EQ(window_count<frm_Amber_Tools>(), 1);
    EXPECT_EQ(window_count<frm_init>(), 1);
    // Leaving by Return after the close box brings the pictures back.
    click(window_registry::instance().find<frm_Amber_Tools>(), "cmd_return");
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

TEST_F(navigation, SubMenuToolsReturnToTheirSubMenu) {
    load_menu();
    auto* amber = open_from_main_menu<frm_Amber_Tools>();
    click(amber, "Command1");
    EXPECT_FALSE(amber->isVisible());
    auto* tool = window_registry::instance().find<frm_text_line_extraction>();
    ASSERT_NE(tool, nullptr);
    tool->close();
    flush_deletes();
    EXPECT_TRUE(amber->isVisible());

    auto* stokes = open_from_main_menu<frm_stokes_shift_tools>();
    click(stokes, "cmd_ev_extract");
    EXPECT_FALSE(stokes->isVisible());
    window_registry::instance().find<frm_ev_extract>()->close();
    flush_deletes();
    EXPECT_TRUE(stokes->isVisible());
}

TEST_F(navigation, OnlyReturnActsInStructureTransformations) {
    frm_init* menu = load_menu();
    auto* transforms = open_from_main_menu<frm_structure_transforms>();
    EXPECT_TRUE(transforms->cmd_TDM_transforms->isEnabled());
    EXPECT_FALSE(transforms->cmd_structure_transform->isEnabled());

    const std::set<QWidget*> before = visible_windows();
    click(transforms, "cmd_TDM_transforms");
    click(transforms, "cmd_structure_transform");
    EXPECT_EQ(visible_windows(), before);
    EXPECT_FALSE(menu->timer_pic_change->isActive());

    click(transforms, "cmd_return");
    flush_deletes();
    EXPECT_EQ(window_registry::instance().find<frm_structure_transforms>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(navigation, ClosingASubMenuLoadsTheMenuWhenItIsGone) {
    // A sub-menu's close step never finds the menu missing in the program, but it must not
    // depend on that: it loads a fresh menu, whose pictures run from its own load.
    auto* amber = window_registry::instance().load<frm_Amber_Tools>();
    amber->close();
    frm_init* menu = window_registry::instance().find<frm_init>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

} // namespace
} // namespace qm::test
