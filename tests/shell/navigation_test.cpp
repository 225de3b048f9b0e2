#include "shell_test.h"

#include "amber/frm_mdcrd_strip.h"
#include "conversion/frm_convertor.h"
#include "correlation/frm_correlation_functions.h"
#include "ev_extract/frm_ev_extract.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/frm_about.h"
#include "shell/frm_chart.h"
#include "shell/frm_convertor_status.h"
#include "shell/frm_history.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/frm_structure_transforms.h"
#include "shell/navigation.h"
#include "stokes/frm_Phase_Correction.h"
#include "stokes/frm_data_extraction1.h"
#include "stokes/frm_tdss.h"
#include "text_tools/frm_global_replace.h"
#include "text_tools/frm_text_file_character_extraction.h"
#include "text_tools/frm_text_line_extraction.h"
#include "units/frm_time_conversion.h"
#include "units/frm_unit_conversion.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
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

// Every window opened from the main menu exists once and leaves the same way, whether it was
// opened by its menu button or not (the structure transformation button is disabled): the
// close box brings the menu back with its pictures still, Return with its pictures moving.
template <class W> class menu_window : public shell_test {};
using menu_windows =
    ::testing::Types<frm_stokes_shift_tools, frm_Amber_Tools, frm_structure_transforms,
                     frm_convertor, frm_correlation_functions>;
TYPED_TEST_SUITE(menu_window, menu_windows);

TYPED_TEST(menu_window, CloseBoxShowsMenuWithPicturesStillAndReturnWithPicturesMoving) {
    frm_init* menu = this->load_menu();
    open_from_main_menu<TypeParam>()->close();
    this->flush_deletes();
    EXPECT_EQ(window_registry::instance().find<TypeParam>(), nullptr);
    EXPECT_EQ(this->template window_count<TypeParam>(), 0) << "forgotten and deleted";
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->timer_pic_change->isActive());

    TypeParam* window = open_from_main_menu<TypeParam>();
    EXPECT_EQ(window_registry::instance().load<TypeParam>(), window);
    EXPECT_EQ(this->template window_count<TypeParam>(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(menu->isVisible());
    this->click(window, "cmd_return");
    this->flush_deletes();
    EXPECT_EQ(window_registry::instance().find<TypeParam>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

// Every window, as a researcher meets it on a 1366 x 768 laptop screen with a panel: it fits,
// every control can be scrolled into view, Return presses the focused button and no two
// buttons share an access key.
template <class W> class every_window : public shell_test {};
using all_windows =
    ::testing::Types<frm_init, frm_stokes_shift_tools, frm_Amber_Tools, frm_structure_transforms,
                     frm_about, frm_history, frm_convertor_status, frm_chart, frm_convertor,
                     frm_text_file_character_extraction, frm_global_replace,
                     frm_text_line_extraction, frm_time_conversion, frm_unit_conversion,
                     frm_mdcrd_strip, frm_ev_extract, frm_data_extraction1, frm_Phase_Correction,
                     frm_tdss, frm_correlation_functions>;
TYPED_TEST_SUITE(every_window, all_windows);

// The program's own controls carry their names; Qt's inner parts and the page do not count.
std::vector<QWidget*> named_controls(QWidget* window) {
    std::vector<QWidget*> controls;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_") && name != "page" &&
            name != "page_scroll_area" && child->isVisibleTo(window))
            controls.push_back(child);
    }
    return controls;
}

TYPED_TEST(every_window, FitsALaptopScreenWithEveryControlWithinReachAndItsOwnAccessKey) {
    auto* w = window_registry::instance().load<TypeParam>();
    for (const QSize needed : {w->minimumSizeHint(), w->sizeHint()}) {
        EXPECT_LE(needed.width(), 1366);
        EXPECT_LE(needed.height(), 700);
    }
    w->resize(320, 240); // smaller than any window's controls need
    QApplication::processEvents();
    auto* page = w->template findChild<QScrollArea*>("page_scroll_area");
    for (QWidget* control : named_controls(w)) {
        QWidget* view = w;
        if (page != nullptr && page->widget()->isAncestorOf(control)) {
            // Scrolled to the control's top left corner, as far as the page lets.
            const QPoint corner = control->mapTo(page->widget(), QPoint(0, 0));
            page->horizontalScrollBar()->setValue(corner.x());
            page->verticalScrollBar()->setValue(corner.y());
            view = page->viewport();
        }
        const QRect shown(control->mapTo(view, QPoint(0, 0)), control->size());
        const bool fits = control->width() <= view->width() && control->height() <= view->height();
        EXPECT_TRUE(fits ? view->rect().contains(shown) : view->rect().intersects(shown))
            << control->objectName().toStdString() << " out of reach";
    }
    std::set<QChar> keys;
    for (QAbstractButton* button : w->template findChildren<QAbstractButton*>()) {
        const std::string name = button->objectName().toStdString();
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            EXPECT_TRUE(push->autoDefault()) << name;
        }
        const QString text = button->text();
        const auto amp = text.indexOf('&');
        if (amp >= 0 && amp + 1 < text.size()) {
            EXPECT_TRUE(keys.insert(text[amp + 1].toLower()).second) << "Alt+ shared by " << name;
        }
    }
}

using navigation = shell_test;

TEST_F(navigation, MenuButtonsHideTheMenuStopItsPicturesAndOpenTheirWindow) {
    const std::pair<const char*, const char*> routes[] = {
        {"cmd_stokes_shift_tools", "frm_stokes_shift_tools"},
        {"cmd_Amber", "frm_Amber_Tools"},
        {"cmd_output", "frm_convertor"},
        {"cmd_text_file_character_extraction", "frm_text_file_character_extraction"},
        {"cmd_global_replace", "frm_global_replace"},
        {"cmd_time_conversion", "frm_time_conversion"},
        {"cmd_unit_conversion", "frm_unit_conversion"},
        {"cmd_Correlation", "frm_correlation_functions"}};
    for (const auto& [button, window] : routes) {
        SCOPED_TRACE(button);
        frm_init* menu = load_menu();
        const std::set<QWidget*> before = visible_windows();
        click(menu, button);
        std::set<QString> appeared;
        for (QWidget* shown : visible_windows())
            if (before.count(shown) == 0)
                appeared.insert(shown->objectName());
        EXPECT_EQ(appeared, std::set<QString>{window});
        EXPECT_FALSE(menu->isVisible());
        EXPECT_FALSE(menu->timer_pic_change->isActive());
        window_registry::instance().destroy_all();
    }
}

// New windows open centred over the window they come from; a sub-menu's tools hide it and
// show it again when they close.
TEST_F(navigation, SubMenuToolsOpenCentredOverTheirSubMenuAndReturnToIt) {
    auto centred_over = [](QWidget* window, QWidget* from) {
        return (window->frameGeometry().center() - from->frameGeometry().center())
                   .manhattanLength() <= 2;
    };
    frm_init* menu = load_menu();
    click(menu, "cmd_about");
    auto* about = window_registry::instance().find<frm_about>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(centred_over(about, menu));
    auto* amber = open_from_main_menu<frm_Amber_Tools>();
    EXPECT_TRUE(centred_over(amber, menu));
    click(amber, "Command1");
    EXPECT_FALSE(amber->isVisible());
    auto* tool = window_registry::instance().find<frm_text_line_extraction>();
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(centred_over(tool, amber));
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

TEST_F(navigation, ClosingASubMenuLoadsTheMenuWhenItIsGone) {
    // A sub-menu's close step never finds the menu missing in the program, but it must not
    // depend on that: it loads a fresh menu, whose pictures run from its own load.
    window_registry::instance().load<frm_Amber_Tools>()->close();
    frm_init* menu = window_registry::instance().find<frm_init>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->timer_pic_change->isActive());
}

} // namespace
} // namespace qm::test
