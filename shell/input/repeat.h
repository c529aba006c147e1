#pragma once
// A held fire key fires again, as the game's original desktop repeats a held key's
// key-down: after the desktop's repeat delay, then at its repeat rate.

#include <QGuiApplication>
#include <QStyleHints>
#include <algorithm>

namespace grimbolt {

// Qt tells the desktop's repeat rate but not its delay: the common one.
inline constexpr int kRepeatDelayMs = 500;

inline int repeat_interval_ms() {
    return std::max(1, 1000 / std::max(1, QGuiApplication::styleHints()->keyboardAutoRepeatRate()));
}

}  // namespace grimbolt
