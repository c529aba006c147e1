#pragma once
// The game's key codes are the virtual-key codes of the original desktop: 37 and 39 for
// the arrows, 90 for Z and so on. Keys the game has no use for map to codes it ignores.

#include <QtCore/qnamespace.h>
#include <cstdint>

namespace grimbolt {

namespace key {
inline constexpr std::int16_t Shift = 16;
inline constexpr std::int16_t Esc = 27;
inline constexpr std::int16_t Left = 37;
inline constexpr std::int16_t Right = 39;
inline constexpr std::int16_t One = 49;
inline constexpr std::int16_t Two = 50;
inline constexpr std::int16_t Three = 51;
inline constexpr std::int16_t X = 88;
inline constexpr std::int16_t Z = 90;
inline constexpr std::int16_t None = 0;
}  // namespace key

// Maps a Qt key. The scan code (X11 key code: evdev code + 8) is the fallback for
// letter and digit keys that the keyboard layout turned into something else, such as
// Cyrillic letters or the symbols of shifted digits, so Z, X, 1, 2 and 3 work on any layout.
std::int16_t game_key_code(int qt_key, Qt::KeyboardModifiers modifiers, quint32 scan_code);

// The modifier mask that comes with a key: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shift_mask(Qt::KeyboardModifiers modifiers);

// The codes the game acts on, in play or in the shop.
bool is_game_key(std::int16_t code);

}  // namespace grimbolt
