#pragma once
// The game's key codes are the virtual-key codes of the original desktop: 37 and 39 for
// the arrows, 90 for Z and so on. Keys the game has no use for have codes it ignores.

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
// The menus' function keys: commands of the window, not keys of the game.
inline constexpr std::int16_t F2 = 113;
inline constexpr std::int16_t F3 = 114;
inline constexpr std::int16_t None = 0;
}  // namespace key

// The codes the game acts on, in play or in the shop.
constexpr bool is_game_key(std::int16_t code) {
    switch (code) {
        case key::Shift:
        case key::Esc:
        case key::Left:
        case key::Right:
        case key::One:
        case key::Two:
        case key::Three:
        case key::X:
        case key::Z:
            return true;
        default:
            return false;
    }
}

}  // namespace grimbolt
