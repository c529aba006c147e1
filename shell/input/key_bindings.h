#pragma once
// The keys a player chose for each of the game's actions, in the enhanced edition: one
// or two keys an action, each by the letter it types in the player's layout or by its
// place on the keyboard (its scan code), so that a layout switch does not move it. The
// game itself always hears its own keys: a bound key reaches it as the classic key of
// its action.

#include <QtCore/qnamespace.h>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace grimbolt {

enum class Action : std::uint8_t {
    WalkLeft,
    WalkRight,
    Gun,
    Jet,
    Fire,
    BuyRate,
    BuyBlast,
    BuyFuel,
    LeaveShop,
    Help,
    NewGame,
    Pause,
    FullScreen,
};
inline constexpr int kActions = 13;

// One key: by letter, Qt's key (Qt::Key_Z); by place, the key's scan code as well.
struct BoundKey {
    int qt_key = 0;    // 0: no key
    quint32 scan = 0;  // not 0: bound by place, whatever the layout makes of it
    bool operator==(const BoundKey&) const = default;
    bool empty() const { return qt_key == 0 && scan == 0; }
};

struct KeyBindings {
    std::array<std::array<BoundKey, 2>, kActions> keys{};

    // The classic's keys: the arrows, Z, X, Shift, 1-3, Esc, F1, F2, F3, F11.
    static KeyBindings classic();

    std::array<BoundKey, 2>& of(Action a) { return keys[std::size_t(a)]; }
    const std::array<BoundKey, 2>& of(Action a) const { return keys[std::size_t(a)]; }
    // The action a pressed key stands for: a key bound by place first, then by letter.
    // A letter matches its Qt key, or the game's code the classic gives the pressed key
    // (`classic`), so that Z works on any layout as in the classic.
    std::optional<Action> action_of(int qt_key, std::int16_t classic, quint32 scan) const;
    // The other action that already has this key, if any: at the same place, or typing
    // the same key.
    std::optional<Action> holder_of(const BoundKey& key, Action except) const;
    // After reading the player's lines (`chosen` marks the actions that had one): an
    // action whose key another action has gets its classic keys back. Says which.
    std::vector<Action> settle(const std::array<bool, kActions>& chosen);
    bool operator==(const KeyBindings&) const = default;
};

// The action's word in the settings file: walk_left, fire, full_screen...
const char* action_word(Action a);
std::optional<Action> action_from_word(const QString& word);
// The game's own key code an action sends, for the actions the game hears; 0 for the
// window's commands (help, new game, pause, full screen).
std::int16_t game_code(Action a);

// A key as the settings file writes it: Qt's key name ("Shift", "X", "Up"), or
// "scan:N" for a key bound by place; two keys of an action separated by ", ".
QString key_text(const BoundKey& key);
// The action's line: "X, Up"; empty text for an action left without keys.
QString keys_text(const std::array<BoundKey, 2>& keys);
// Whether a key can be bound: one that reads back from the settings file as itself,
// under a name a person can read, and not F10, which opens the menus.
bool bindable(const BoundKey& key);
// Reads an action's line; nothing when a key of it is no key one can bind.
std::optional<std::array<BoundKey, 2>> keys_from_text(const QString& text);

}  // namespace grimbolt
