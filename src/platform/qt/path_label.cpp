#include "platform/qt/path_label.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

namespace qm {
namespace {

// Room for a typical path in characters; the label may be shrunk to a few of them.
constexpr int usual_characters = 48;
constexpr int fewest_characters = 12;

} // namespace

path_label::path_label(const char* name) {
    setObjectName(QString::fromLatin1(name));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void path_label::set_path(const std::string& path) {
    const QString text = QString::fromStdString(path);
    show_text(text, text);
}

void path_label::set_paths(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        set_path(paths.front());
        return;
    }
    QStringList all;
    for (const std::string& path : paths)
        all << QString::fromStdString(path);
    const QString folder = all.isEmpty() ? QString() : QFileInfo(all.front()).absolutePath();
    show_text(QStringLiteral("%1 files in %2").arg(all.size()).arg(folder),
              all.join(QLatin1Char('\n')));
}

void path_label::show_text(const QString& text, const QString& tip) {
    full_ = text;
    setToolTip(tip);
    elide();
}

QSize path_label::sizeHint() const {
    return {fontMetrics().averageCharWidth() * usual_characters + 2 * frameWidth(),
            minimumSizeHint().height()};
}

// One line of text, however long or empty the path.
QSize path_label::minimumSizeHint() const {
    const int edges = 2 * (frameWidth() + margin());
    return {fontMetrics().averageCharWidth() * fewest_characters + edges,
            fontMetrics().height() + edges + 2};
}

void path_label::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void path_label::elide() {
    const int room = contentsRect().width() - 2 * margin() - 2 * std::max(indent(), 0);
    setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, std::max(room, 0)));
}

} // namespace qm
