// Numbers typed into the option boxes of the newer tool windows: the whole text must be one
// number (blanks around it allowed), as the command line's options take them.
#pragma once

#include "platform/val.h"

#include <QLabel>
#include <QLineEdit>

#include <optional>
#include <string>

namespace qm {

// A box whose text is no number: the text names the box by its label's caption.
struct number_box_problem {
    std::string text;
};

// The number in the box; none when it is empty (the tool's default then applies).
inline std::optional<double> optional_box_number(const QLineEdit* box, const QLabel* label) {
    const std::string text = box->text().trimmed().toStdString();
    if (text.empty())
        return std::nullopt;
    if (!is_number(text))
        throw number_box_problem{"\"" + text + "\" in the box " +
                                 label->text().remove('&').toStdString() + " is not a number"};
    return strict_double(text);
}

// The number in a box that must not be empty.
inline double box_number(const QLineEdit* box, const QLabel* label) {
    const std::optional<double> value = optional_box_number(box, label);
    if (!value)
        throw number_box_problem{"The box " + label->text().remove('&').toStdString() +
                                 " is empty"};
    return *value;
}

} // namespace qm
