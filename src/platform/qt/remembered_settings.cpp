#include "platform/qt/remembered_settings.h"

#include "platform/qt/path_label.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QWidget>

#include <map>
#include <vector>

namespace qm {
namespace {

constexpr const char* not_remembered = "qm_not_remembered";
constexpr const char* controls_key = "controls";
constexpr const char* folder_key = "last_folder";

// A box the user types into; a box that only shows (a status line) or belongs to a spin box or
// a list is none.
bool typed_box(const QWidget* control) {
    const auto* edit = qobject_cast<const QLineEdit*>(control);
    return edit != nullptr && !edit->isReadOnly() &&
           qobject_cast<const QAbstractSpinBox*>(edit->parentWidget()) == nullptr &&
           qobject_cast<const QComboBox*>(edit->parentWidget()) == nullptr;
}

bool setting_control(const QWidget* control) {
    return typed_box(control) || qobject_cast<const QCheckBox*>(control) != nullptr ||
           qobject_cast<const QRadioButton*>(control) != nullptr ||
           qobject_cast<const QComboBox*>(control) != nullptr;
}

// The window's setting controls by name, in the order they were made. A name used twice could
// not say which control a value belongs to: such controls are left alone.
std::map<QString, QWidget*> setting_controls(QWidget* window) {
    std::map<QString, QWidget*> found;
    std::map<QString, int> uses;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !setting_control(control) ||
            control->property(not_remembered).toBool())
            continue;
        found[name] = control;
        ++uses[name];
    }
    for (const auto& [name, count] : uses)
        if (count > 1)
            found.erase(name);
    return found;
}

// The option buttons that go off when `option` goes on.
std::vector<QAbstractButton*> exclusive_partners(QAbstractButton* option) {
    std::vector<QAbstractButton*> partners;
    if (QButtonGroup* group = option->group()) {
        for (QAbstractButton* b : group->buttons())
            if (b != option)
                partners.push_back(b);
    } else if (option->autoExclusive() && option->parentWidget() != nullptr) {
        for (QAbstractButton* b :
             option->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
            if (b != option && b->autoExclusive())
                partners.push_back(b);
    }
    return partners;
}

QString group_of(const QWidget* window) {
    return window->objectName();
}

class settings_memory final : public QObject {
public:
    explicit settings_memory(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("settings_memory"));
        controls_ = setting_controls(window);
        read();
        for (const auto& [name, control] : controls_)
            watch(name, control);
        for (const auto& [name, control] : controls_)
            if (const auto it = values_.find(name); it != values_.end())
                give_back(control, it->second);
        window->installEventFilter(this);
    }

    void save() const {
        QSettings settings;
        settings.beginGroup(group_of(window_));
        settings.remove(QLatin1String(controls_key));
        settings.beginGroup(QLatin1String(controls_key));
        for (const auto& [name, value] : values_)
            settings.setValue(name, value);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Hide) {
            save();
        } else if (event->type() == QEvent::EnabledChange) {
            auto* control = static_cast<QWidget*>(watched);
            const auto it = waiting_.find(control);
            if (it != waiting_.end() && control->isEnabled()) {
                const QVariant value = it->second;
                waiting_.erase(it);
                give_back(control, value);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The values of controls the window still has; those of controls it no longer has go.
    void read() {
        QSettings settings;
        settings.beginGroup(group_of(window_));
        settings.beginGroup(QLatin1String(controls_key));
        for (const QString& name : settings.childKeys())
            if (controls_.count(name) != 0)
                values_[name] = settings.value(name);
    }

    // What the user does is remembered as he does it.
    void watch(const QString& name, QWidget* control) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, name, edit](const QString& text) { note(name, edit, text); });
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::activated, this,
                    [this, name, list] { note(name, list, list->currentText()); });
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, [this, name, button] {
                note(name, button, button->isChecked());
                if (qobject_cast<QRadioButton*>(button) != nullptr && button->isChecked())
                    for (QAbstractButton* partner : exclusive_partners(button))
                        if (controls_.count(partner->objectName()) != 0)
                            note(partner->objectName(), partner, false);
            });
        }
    }

    void note(const QString& name, QWidget* control, const QVariant& value) {
        values_[name] = value;
        waiting_.erase(control);
    }

    // Gives a control its remembered value as the user would: a text is set (its change
    // handlers run, and a key goes up as after typing, for windows that convert on keys); a
    // button or a list is clicked while enabled, or as soon as it is enabled.
    void give_back(QWidget* control, const QVariant& value) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            if (edit->text() == value.toString())
                return;
            edit->setText(value.toString());
            QKeyEvent key_up(QEvent::KeyRelease, Qt::Key_End, Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &key_up);
            return;
        }
        if (!control->isEnabled()) {
            if (waiting_.count(control) == 0)
                control->installEventFilter(this);
            waiting_[control] = value;
            return;
        }
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            const int index = list->findText(value.toString());
            if (index >= 0 && index != list->currentIndex()) {
                list->setCurrentIndex(index);
                emit list->activated(index);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            const bool wanted = value.toBool();
            // An option button is never clicked off: its partner going on does that.
            if (button->isChecked() != wanted && (wanted || !button->autoExclusive()))
                button->click();
        }
    }

    QWidget* window_;
    std::map<QString, QWidget*> controls_;
    std::map<QString, QVariant> values_;
    std::map<QWidget*, QVariant> waiting_; // disabled when their value came back
};

// The window's memory (a plain QObject child: found by its name, then its class).
settings_memory* memory_of(QWidget* window) {
    return dynamic_cast<settings_memory*>(window->findChild<QObject*>(
        QStringLiteral("settings_memory"), Qt::FindDirectChildrenOnly));
}

} // namespace

void set_settings_folder(const QString& folder) {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

void remember_settings(QWidget* window) {
    if (!window->objectName().isEmpty() && memory_of(window) == nullptr)
        new settings_memory(window);
}

void save_settings(QWidget* window) {
    if (settings_memory* memory = memory_of(window))
        memory->save();
}

bool has_setting_controls(QWidget* window) {
    return !setting_controls(window).empty();
}

void forget_settings(const QString& window_name) {
    QSettings settings;
    settings.remove(window_name + '/' + QLatin1String(controls_key));
}

std::string settings_summary(QWidget* window) {
    QString text = window->windowTitle();
    auto line = [&text](const QString& name, const QString& value) {
        text += QLatin1Char('\n') + name + QStringLiteral(": ") + value;
    };
    for (const auto* shown : window->findChildren<QLabel*>())
        if (const auto* path = dynamic_cast<const path_label*>(shown);
            path != nullptr && !path->full_text().isEmpty())
            line(path->objectName(), path->full_text());
    for (const auto& [name, control] : setting_controls(window)) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            line(name, edit->text());
        else if (auto* list = qobject_cast<QComboBox*>(control))
            line(name, list->currentText());
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            line(name, button->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
    }
    return text.toStdString();
}

void keep_out_of_settings(QWidget* control) {
    control->setProperty(not_remembered, true);
}

QString remembered_folder(const QWidget* window) {
    if (window == nullptr || window->objectName().isEmpty())
        return {};
    QSettings settings;
    return settings.value(group_of(window) + '/' + QLatin1String(folder_key)).toString();
}

void remember_folder(const QWidget* window, const QString& folder) {
    if (window == nullptr || window->objectName().isEmpty())
        return;
    QSettings settings;
    settings.setValue(group_of(window) + '/' + QLatin1String(folder_key), folder);
}

} // namespace qm
