#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace platform {

// The character code a key press types: 13 for Return, 3 for Enter, otherwise the code of the
// first character the key types, 0 when it types none or a control character.
int KeyCode(const QKeyEvent& event);

// Raised for every key pressed in a text field, before the field handles it, with the key's
// character code; a true result swallows the key.
using KeyDownHandler = std::function<bool(int characterCode)>;
void OnKeyDown(QWidget* field, KeyDownHandler handler);

}  // namespace platform
