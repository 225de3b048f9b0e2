// A chosen file as the window shows it: read-only, elided in the middle when it does not fit
// (the folder's start and the file's name stay in view), the whole path as tooltip. A long
// path never widens its window.
#pragma once

#include <QLabel>

#include <string>
#include <vector>

namespace qm {

class path_label : public QLabel {
public:
    explicit path_label(const char* name);

    void set_path(const std::string& path);
    // Several files of one selection: the first one's folder and their count, every path in
    // the tooltip.
    void set_paths(const std::vector<std::string>& paths);
    // The text before elision.
    const QString& full_text() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_text(const QString& text, const QString& tip);
    void elide();

    QString full_;
};

} // namespace qm
