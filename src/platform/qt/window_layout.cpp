#include "platform/qt/window_layout.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {
namespace {

// A scroll area that asks for the whole of its page: a window opens without scroll bars
// whenever the screen has room for it. (Qt's own asks for at most 36 by 24 lines of text.)
class page_scroll_area final : public QScrollArea {
public:
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
};

// The window frame around `from` (known once it has been shown, hidden since or not), which a
// new window will get as well.
QMargins frame_margins(const QWidget* from) {
    if (from == nullptr)
        return {};
    const QRect inner = from->geometry();
    const QRect outer = from->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

QWidget* scrolling_page(QWidget* window) {
    auto* area = new page_scroll_area;
    area->setObjectName(QStringLiteral("page_scroll_area"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    area->setWidget(page);
    auto* whole = new QVBoxLayout(window);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(area);
    return page;
}

void place_window(QWidget* window, const QWidget* from) {
    const QScreen* screen = from != nullptr ? from->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frame_margins(from);
    // A size the window set itself is kept where its controls fit.
    const QSize wanted = window->testAttribute(Qt::WA_Resized)
                             ? window->size().expandedTo(window->sizeHint())
                             : window->sizeHint();
    const QSize room = area.size().shrunkBy(frame);
    const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSizeHint().boundedTo(room));

    QRect outer(QPoint(0, 0), size.grownBy(frame));
    outer.moveCenter(from != nullptr ? from->frameGeometry().center() : area.center());
    // Pushed back onto the screen where the centred place would hang over an edge.
    auto inside = [](int start, int length, int first, int room_length) {
        return std::clamp(start, first, std::max(first, first + room_length - length));
    };
    // The window's own place inside its frame: a window not shown yet has no frame to place.
    const QPoint corner(inside(outer.left(), outer.width(), area.left(), area.width()),
                        inside(outer.top(), outer.height(), area.top(), area.height()));
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), size));
}

void press_buttons_on_return(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace qm
