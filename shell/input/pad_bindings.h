#pragma once
// The pad's buttons a player chose for each of the game's actions, in the enhanced
// edition; the classic's pad is these bindings' defaults. A button means one action in
// play and may mean another in the shop: there the shop's actions come first, and in
// play they are nothing. The left stick always walks.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/input/key_bindings.h"

namespace grimbolt {

// A pad's buttons: SDL's game controller buttons (A is 0, the D-pad's left 13...), then
// the triggers and the stick's sides, which SDL reads as axes.
namespace pad {
inline constexpr int None = -1;
inline constexpr int A = 0;
inline constexpr int B = 1;
inline constexpr int X = 2;
inline constexpr int Y = 3;
inline constexpr int Back = 4;
inline constexpr int Start = 6;
inline constexpr int LeftStick = 7;  // pressed in
inline constexpr int RightStick = 8;
inline constexpr int LeftShoulder = 9;
inline constexpr int RightShoulder = 10;
inline constexpr int Up = 11;
inline constexpr int Down = 12;
inline constexpr int Left = 13;
inline constexpr int Right = 14;
inline constexpr int Touchpad = 20;
inline constexpr int LeftTrigger = 21;
inline constexpr int RightTrigger = 22;
inline constexpr int Buttons = 23;  // the buttons a player can bind: 0 to 22
inline constexpr int StickLeft = 23;
inline constexpr int StickRight = 24;
}  // namespace pad

// Whether an action is one of the shop's: its buttons count there before the others.
bool shop_action(Action a);

struct PadBindings {
    std::array<std::int8_t, kActions> button{};  // pad::None: no button

    // The classic's pad: the D-pad walks, A fires, B is the jet, Y the gun, Start
    // pauses and Back starts a new game; in the shop X, Y, B and Start are 1, 2, 3, Esc.
    static PadBindings classic();

    int of(Action a) const { return button[std::size_t(a)]; }
    // The action a pressed button stands for, in the shop or in play.
    std::optional<Action> action_of(int button, bool in_shop) const;
    // The other action of the same side (shop or play) that has this button.
    std::optional<Action> holder_of(int button, Action except) const;
    // After reading the player's lines: an action whose button another has gets its
    // default back. Says which.
    std::vector<Action> settle(const std::array<bool, kActions>& chosen);
    bool operator==(const PadBindings&) const = default;
};

// A button as the settings file writes it: SDL's name ("a", "start", "dpleft",
// "righttrigger"), "none" for no button; nothing for a name that is no button.
QString pad_text(int button);
std::optional<int> pad_from_text(const QString& text);

}  // namespace grimbolt
