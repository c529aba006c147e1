#include "shell/input/key_bindings.h"

#include <QKeySequence>
#include <QStringList>

#include "core/keys.h"
#include "shell/input/keymap.h"

namespace grimbolt {
namespace {

struct ActionInfo {
    const char* word;
    std::int16_t code;  // the game's key; 0: a command of the window
    int classic_key;
};

constexpr std::array<ActionInfo, kActions> kInfo{{
    {"walk_left", key::Left, Qt::Key_Left},
    {"walk_right", key::Right, Qt::Key_Right},
    {"gun", key::Z, Qt::Key_Z},
    {"jet", key::X, Qt::Key_X},
    {"fire", key::Shift, Qt::Key_Shift},
    {"buy_rate", key::One, Qt::Key_1},
    {"buy_blast", key::Two, Qt::Key_2},
    {"buy_fuel", key::Three, Qt::Key_3},
    {"leave_shop", key::Esc, Qt::Key_Escape},
    {"help", 0, Qt::Key_F1},
    {"new_game", 0, Qt::Key_F2},
    {"pause", 0, Qt::Key_F3},
    {"full_screen", 0, Qt::Key_F11},
}};

const QLatin1String kScan("scan:");

// Whether Qt's name of a key is one a person can read and type back: a named key in
// plain ASCII (F2, Space, Up), or one visible character that is no mark nor space.
bool printable_key_name(int qt_key) {
    const QString name = QKeySequence(qt_key).toString(QKeySequence::PortableText);
    if (name.isEmpty())
        return false;
    if (name.size() == 1) {
        const QChar c = name[0];
        return c.isPrint() && !c.isSpace() && !c.isMark() && c.category() != QChar::Other_Format;
    }
    for (const QChar c : name) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

}  // namespace

KeyBindings KeyBindings::classic() {
    KeyBindings b;
    for (int i = 0; i < kActions; ++i)
        b.keys[std::size_t(i)][0] = BoundKey{kInfo[std::size_t(i)].classic_key, 0};
    return b;
}

std::optional<Action> KeyBindings::action_of(int qt_key, std::int16_t classic, quint32 scan) const {
    const auto letter = [&](const BoundKey& k) {
        if (k.scan != 0 || k.qt_key == 0)
            return false;
        const std::int16_t code = game_key_code(k.qt_key, Qt::NoModifier, 0);
        return k.qt_key == qt_key || (code != key::None && code == classic);
    };
    for (const bool by_place : {true, false}) {
        for (int i = 0; i < kActions; ++i) {
            for (const BoundKey& k : keys[std::size_t(i)]) {
                const bool match = by_place ? (k.scan != 0 && k.scan == scan) : letter(k);
                if (match)
                    return Action(i);
            }
        }
    }
    return std::nullopt;
}

namespace {
// Two keys are one when they are at the same place, or type the same key: a key bound
// by place was chosen with the key it typed, and a shortcut knows only that.
bool same_key(const BoundKey& a, const BoundKey& b) {
    return (a.scan != 0 && a.scan == b.scan) || (a.qt_key > 0 && a.qt_key == b.qt_key);
}
}  // namespace

std::optional<Action> KeyBindings::holder_of(const BoundKey& key, Action except) const {
    if (key.empty())
        return std::nullopt;
    for (int i = 0; i < kActions; ++i) {
        if (Action(i) == except)
            continue;
        for (const BoundKey& k : keys[std::size_t(i)]) {
            if (!k.empty() && same_key(key, k))
                return Action(i);
        }
    }
    return std::nullopt;
}

std::vector<Action> KeyBindings::settle(const std::array<bool, kActions>& chosen) {
    std::vector<Action> reset;
    const KeyBindings classic = KeyBindings::classic();
    // A key two actions share goes to the one whose key it is by default; the player's
    // line that took it is their mistake, and its action keeps its own keys.
    for (int round = 0; round < kActions; ++round) {
        bool changed = false;
        for (int i = kActions - 1; i >= 0 && !changed; --i) {
            if (!chosen[std::size_t(i)] || keys[std::size_t(i)] == classic.keys[std::size_t(i)])
                continue;
            for (const BoundKey& k : keys[std::size_t(i)]) {
                if (holder_of(k, Action(i))) {
                    keys[std::size_t(i)] = classic.keys[std::size_t(i)];
                    reset.push_back(Action(i));
                    changed = true;
                    break;
                }
            }
        }
        if (!changed)
            break;
    }
    return reset;
}

bool bindable(const BoundKey& key) {
    if (key.scan == 0 && key.qt_key <= 0)
        return false;
    if (key.qt_key == Qt::Key_F10)
        return false;  // the window's own: it opens the menus
    if (key.scan != 0)
        return true;  // written by its place alone
    // A key must come back as itself from the settings file, under a name a person can
    // read: keys Qt cannot name (AltGr, dead keys), characters no keyboard types alone
    // (controls, marks, spaces of all kinds) and letters Qt writes in another case are
    // not keys to bind.
    const auto back = keys_from_text(key_text(BoundKey{key.qt_key, 0}));
    return back && (*back)[0].qt_key == key.qt_key;
}

const char* action_word(Action a) {
    return kInfo[std::size_t(a)].word;
}

std::optional<Action> action_from_word(const QString& word) {
    for (int i = 0; i < kActions; ++i) {
        if (word == QLatin1String(kInfo[std::size_t(i)].word))
            return Action(i);
    }
    return std::nullopt;
}

std::int16_t game_code(Action a) {
    return kInfo[std::size_t(a)].code;
}

QString key_text(const BoundKey& key) {
    if (key.scan != 0)
        return kScan + QString::number(key.scan);
    return QKeySequence(key.qt_key).toString(QKeySequence::PortableText);
}

QString keys_text(const std::array<BoundKey, 2>& keys) {
    QStringList parts;
    for (const BoundKey& k : keys) {
        if (!k.empty())
            parts << key_text(k);
    }
    return parts.join(QLatin1String(", "));
}

std::optional<std::array<BoundKey, 2>> keys_from_text(const QString& text) {
    // Qt's own reading of key names, one key at a time: "," is a key's name too.
    const QStringList parts = text.split(QLatin1String(", "), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    std::array<BoundKey, 2> keys{};
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        BoundKey& k = keys[std::size_t(i)];
        if (part.startsWith(kScan)) {
            bool number = false;
            k.scan = part.mid(kScan.size()).toUInt(&number);
            if (!number || k.scan == 0 || k.scan > 0xFFFF)
                return std::nullopt;
            continue;
        }
        const QKeySequence sequence = QKeySequence::fromString(part, QKeySequence::PortableText);
        if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier ||
            sequence[0].key() == Qt::Key_unknown)
            return std::nullopt;
        k.qt_key = sequence[0].key();
        if (!printable_key_name(sequence[0].key()) || k.qt_key == Qt::Key_F10)
            return std::nullopt;
    }
    if (keys[1] == keys[0])
        keys[1] = BoundKey{};
    return keys;
}

}  // namespace grimbolt
