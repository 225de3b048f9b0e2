#include "platform/qt/key_filter.h"

#include "platform/qt/ui_services.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace qm {
namespace {

class typed_key_filter final : public QObject {
public:
    typed_key_filter(QObject* parent, typed_key_rule accepts)
        : QObject(parent), accepts_(accepts) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.isEmpty())
            return false; // arrows and the like
        const char16_t code = typed[0].unicode();
        // Delete types DEL (127) on some platforms: it deletes, it is no character.
        if (typed.size() == 1 && (code < ' ' || code == 0x7f) && code != '\b')
            return false;
        if (typed.size() == 1 && code < 128 && accepts_(static_cast<char>(code)))
            return false;
        services().messages->beep();
        return true;
    }

private:
    typed_key_rule accepts_;
};

} // namespace

void filter_typed_keys(std::initializer_list<QLineEdit*> boxes, typed_key_rule accepts) {
    for (QLineEdit* box : boxes)
        box->installEventFilter(new typed_key_filter(box, accepts));
}

} // namespace qm
