// The shell: the main menu, About, how windows are opened and left, every window's fit.
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
#include "shell/pictures.h"
#include "shell/version_history.h"
#include "stokes/frm_Phase_Correction.h"
#include "stokes/frm_data_extraction1.h"
#include "stokes/frm_gap_fluctuations.h"
#include "stokes/frm_spectrum.h"
#include "stokes/frm_tdss.h"
#include "text_tools/frm_global_replace.h"
#include "text_tools/frm_text_file_character_extraction.h"
#include "text_tools/frm_text_line_extraction.h"
#include "units/frm_time_conversion.h"
#include "units/frm_unit_conversion.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTimer>

#include <functional>
#include <ranges>
#include <set>
#include <string>
#include <vector>

namespace qm::test {
namespace {

using main_menu = shell_test;

// Runs the event loop until something ends it; a guard ends it with 99 after five seconds.
int run_event_loop_after(const std::function<void()>& action) {
    QTimer guard;
    guard.callOnTimeout([] { QCoreApplication::exit(99); });
    guard.start(5000);
    QTimer::singleShot(0, action);
    return QCoreApplication::exec();
}

// Exit and the close box end the program with no close step: main deletes the windows.
TEST_F(main_menu, AsLoadedStructuresIsShutAndPicturesChangeEverySixSecondsFrom102AndExitEndsIt) {
    frm_init* menu = load_menu();
    EXPECT_FALSE(menu->cmd_structures->isEnabled());
    EXPECT_TRUE(menu->timer_pic_change->isActive() && !menu->timer_pic_change->isSingleShot());
    EXPECT_EQ(menu->timer_pic_change->interval(), 6000);
    std::vector<int> shown{menu->current_picture()};
    for (int tick = 0; tick < 9; ++tick) {
        EXPECT_EQ(menu->Picture1->pixmap().toImage(),
                  (tick == 0 ? start_picture() : menu_picture(shown.back())).toImage());
        menu->change_picture();
        shown.push_back(menu->current_picture());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 102, 103, 104, 101, 102, 103, 104, 101, 102}));
    EXPECT_EQ(run_event_loop_after([menu] { menu->cmd_exit->click(); }), 0);
    EXPECT_TRUE(window_registry::instance().find<frm_init>() == menu && menu->isVisible());
    EXPECT_EQ(run_event_loop_after([menu] { menu->close(); }), 0);
}

bool centred_over(const QWidget* w, const QWidget* from) {
    return (w->frameGeometry().center() - from->frameGeometry().center()).manhattanLength() <= 2;
}

// Every main-menu button hides the menu, stops its pictures and opens its window centred over
// it, which leaves by the close box (pictures still) or by Return (pictures moving); so does the
// structure transformation window, whose button is disabled.
TEST_F(main_menu, EveryWindowOfTheMenuOpensByItsButtonAndLeavesByCloseBoxOrReturn) {
    const char* const routes[][3] = {
        {"cmd_stokes_shift_tools", "frm_stokes_shift_tools", "cmd_return"},
        {"cmd_Amber", "frm_Amber_Tools", "cmd_return"},
        {"cmd_output", "frm_convertor", "cmd_return"},
        {"cmd_text_file_character_extraction", "frm_text_file_character_extraction", "cmd_return"},
        {"cmd_global_replace", "frm_global_replace", "cmd_return_to_menu"},
        {"cmd_time_conversion", "frm_time_conversion", "cmd_main_menu"},
        {"cmd_unit_conversion", "frm_unit_conversion", "cmd_return"},
        {"cmd_Correlation", "frm_correlation_functions", "cmd_return"},
        {nullptr, "frm_structure_transforms", "cmd_return"}};
    for (const auto& [button, name, back] : routes)
        for (const bool by_return : {false, true}) {
            SCOPED_TRACE(std::string(name) + (by_return ? " by Return" : " by the close box"));
            frm_init* menu = load_menu();
            if (button != nullptr)
                click(menu, button);
            else
                open_from_main_menu<frm_structure_transforms>();
            QPointer<QWidget> window;
            for (QWidget* shown : QApplication::topLevelWidgets())
                if (shown->isVisible() && shown->objectName() == name)
                    window = shown;
            ASSERT_TRUE(window);
            EXPECT_TRUE(centred_over(window, menu));
            EXPECT_FALSE(menu->isVisible() || menu->timer_pic_change->isActive());
            if (by_return)
                click(window, back);
            else
                window->close();
            flush_deletes();
            EXPECT_TRUE(window.isNull() && menu->isVisible()) << "deleted, the menu back";
            EXPECT_EQ(menu->timer_pic_change->isActive(), by_return);
        }
}

// About opens once, centred over the menu, which stays usable with its pictures running; the
// version history opens once beside it, read-only: a title block, then every release newest
// first with its heading, a rule, an empty line, its items and two empty lines, CR LF each.
TEST_F(main_menu, AboutAndTheVersionHistoryOpenOnceBesideTheWindowTheyComeFrom) {
    frm_init* menu = load_menu();
    click(menu, "cmd_about");
    QPointer<frm_about> about = window_registry::instance().find<frm_about>();
    click(menu, "cmd_about");
    ASSERT_TRUE(about && window_registry::instance().find<frm_about>() == about);
    EXPECT_TRUE(centred_over(about, menu) && about->isVisible() && menu->isVisible() &&
                menu->timer_pic_change->isActive());
    click(about, "cmd_history");
    QPointer<frm_history> history = window_registry::instance().find<frm_history>();
    ASSERT_TRUE(history && history->isVisible() && about->isVisible() &&
                history->txt_history->isReadOnly());
    const std::string text = version_history_text();
    EXPECT_EQ(history->txt_history->toPlainText(),
              QString::fromStdString(text).replace("\r\n", "\n"));
    const std::string rule = "\r\n" + std::string(30, '-') + "\r\n\r\n1) ";
    const std::string head = "Quillmark - Version 1.8 Beta 1\r\n\r\nVersion History (Reverse Date "
                             "Order)\r\n" +
                             std::string(40, '*') + "\r\n\r\nVersion 1.8 Beta 1";
    EXPECT_TRUE(text.starts_with(head + rule));
    auto count = [&text](const std::string& part) {
        return std::ranges::distance(std::views::split(text, part)) - 1;
    };
    EXPECT_EQ(count("\n"), count("\r\n"));
    EXPECT_EQ(count(rule), 45);           // every release's heading and first item
    EXPECT_EQ(count("\r\n\r\n\r\n"), 45); // two empty lines after every release
    click(history, "cmd_close");
    flush_deletes();
    EXPECT_TRUE(history.isNull() && about->isVisible());
}

// Every window, as a researcher meets it on a 1366 x 768 laptop screen with a panel: it fits,
// every control can be scrolled into view and no two buttons share an access key.
template <class W> class every_window : public shell_test {};
using all_windows =
    ::testing::Types<frm_init, frm_stokes_shift_tools, frm_Amber_Tools, frm_structure_transforms,
                     frm_about, frm_history, frm_convertor_status, frm_chart, frm_convertor,
                     frm_text_file_character_extraction, frm_global_replace,
                     frm_text_line_extraction, frm_time_conversion, frm_unit_conversion,
                     frm_mdcrd_strip, frm_ev_extract, frm_data_extraction1, frm_Phase_Correction,
                     frm_tdss, frm_correlation_functions, frm_spectrum, frm_gap_fluctuations>;
TYPED_TEST_SUITE(every_window, all_windows);

TYPED_TEST(every_window, FitsALaptopScreenWithEveryControlWithinReachAndItsOwnAccessKey) {
    auto* w = window_registry::instance().load<TypeParam>();
    for (const QSize needed : {w->minimumSizeHint(), w->sizeHint()})
        EXPECT_TRUE(needed.width() <= 1366 && needed.height() <= 700);
    w->resize(320, 240); // smaller than any window's controls need
    QApplication::processEvents();
    // Each of the program's own controls lies within the window or the page it scrolls.
    auto* page = w->template findChild<QScrollArea*>("page_scroll_area");
    for (QWidget* control :
         w->template findChildren<QWidget*>(QRegularExpression("^(?!qt_|page)."))) {
        QWidget* area =
            page != nullptr && page->widget()->isAncestorOf(control) ? page->widget() : w;
        EXPECT_TRUE(
            !control->isVisibleTo(w) ||
            area->rect().contains(QRect(control->mapTo(area, QPoint(0, 0)), control->size())))
            << control->objectName().toStdString() << " out of reach";
    }
    std::set<QChar> keys;
    for (QAbstractButton* button : w->template findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        const auto key = text.indexOf('&') + 1;
        EXPECT_TRUE(key == 0 || key == text.size() || keys.insert(text[key].toLower()).second)
            << "Alt+ shared by " << button->objectName().toStdString();
    }
}

} // namespace
} // namespace qm::test
