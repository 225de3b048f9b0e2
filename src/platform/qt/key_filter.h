// Boxes that take only some typed characters (digits, a point): a refused character is
// discarded and the system beeps. Keys that type nothing (arrows, Delete) and control keys
// other than Backspace (Return, Tab, the editing shortcuts) keep their usual meaning.
#pragma once

#include <initializer_list>

class QLineEdit;

namespace qm {

// `accepts` decides for each typed character; Backspace arrives as '\b'. Characters outside
// ASCII are always refused.
using typed_key_rule = bool (*)(char key);

void filter_typed_keys(std::initializer_list<QLineEdit*> boxes, typed_key_rule accepts);

} // namespace qm
