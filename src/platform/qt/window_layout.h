// How every window meets the screen: its controls sit on a page that scrolls when the window is
// smaller than they need (a small screen, or a window made smaller by the user), a new window
// opens at the size of its controls within the screen, centred over the window it comes from,
// and its buttons answer Return as well as Space.
#pragma once

class QWidget;

namespace qm {

// The page a window lays its controls on; scroll bars appear only when the window is smaller
// than the page needs.
QWidget* scrolling_page(QWidget* window);

// Sizes a window about to be shown for the first time and centres it over `from` (over the
// screen when there is none); all of it stays on that screen.
void place_window(QWidget* window, const QWidget* from);

// Return presses the focused button, as Space does.
void press_buttons_on_return(QWidget* window);

} // namespace qm
