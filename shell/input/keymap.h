#pragma once
// Qt's keys as the game's key codes (core/keys.h).

#include <QtCore/qnamespace.h>
#include <cstdint>

#include "core/keys.h"

namespace grimbolt {

// Maps a Qt key. The scan code (X11 key code: evdev code + 8) is the fallback for
// letter and digit keys that the keyboard layout turned into something else, such as
// Cyrillic letters or the symbols of shifted digits, so Z, X, 1, 2 and 3 work on any layout.
std::int16_t game_key_code(int qt_key, Qt::KeyboardModifiers modifiers, quint32 scan_code);

// The modifier mask that comes with a key: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shift_mask(Qt::KeyboardModifiers modifiers);

}  // namespace grimbolt
