#include "shell/enhanced/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <utility>

#include "replay/proof.h"
#include "replay/script.h"

namespace grimbolt {
namespace {

// A settings file is a few hundred bytes; anything past this is no settings file, and
// reading it whole would only cost time and memory.
constexpr qint64 kLargestFile = 64 * 1024;

// The options' keys and where each lives in the record.
struct Flag {
    const char* key;
    bool Options::*field;
};
constexpr Flag kFlags[] = {
    {"play/safe_start", &Options::safe_start},
    {"play/fair_start", &Options::fair_start},
    {"play/remember_speed", &Options::remember_speed},
    {"window/full_screen", &Options::full_screen},
    {"window/was_full_screen", &Options::was_full_screen},
    {"show/pause_sign", &Options::pause_sign},
    {"show/game_over", &Options::game_over},
    {"sound/enabled", &Options::sound},
    {"world/send", &Options::world_send},
};
// The world's words: each a line of printable text, no longer than its bound.
struct Word {
    const char* key;
    QString Options::*field;
    int longest;
};
constexpr Word kWords[] = {
    {"world/server", &Options::world_server, 200},
    {"world/name", &Options::world_name, 64},
    {"world/token", &Options::world_token, 64},
};
constexpr const char* kTickKey = "play/tick_ms";
constexpr const char* kLanguageKey = "show/language";

// A value as the file holds it, or nothing when it is not one of its key's values.
std::optional<bool> flag_value(const QVariant& value) {
    const QString text = value.toString().trimmed();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<QString> language_value(const QVariant& value) {
    const QString text = value.toString().trimmed();
    if (text == QLatin1String("ru") || text == QLatin1String("en"))
        return text;
    return std::nullopt;
}

std::optional<int> tick_value(const QVariant& value) {
    bool number = false;
    const int ms = value.toString().trimmed().toInt(&number);
    if (number && ms >= 1 && ms <= kSlowestPeriod)
        return ms;
    return std::nullopt;
}

std::optional<QString> word_value(const QVariant& value, int longest) {
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed();
    const QList<uint> points = text.toUcs4();
    if (text.size() > longest || std::any_of(points.begin(), points.end(),
                                             [](uint c) { return !QChar::isPrint(char32_t(c)); }))
        return std::nullopt;
    return text;
}

// A value's text as the file holds it: "X, Up", which QSettings reads as a list.
QString text_of(const QVariant& value) {
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1String(", "))
                                                    : value.toString();
}

std::optional<std::array<BoundKey, 2>> keys_value(const QVariant& value) {
    return keys_from_text(text_of(value));
}

QString keys_key(Action a) {
    return QStringLiteral("keys/") + QLatin1String(action_word(a));
}

QString pad_key(Action a) {
    return QStringLiteral("pad/") + QLatin1String(action_word(a));
}

std::optional<int> pad_value(const QVariant& value) {
    return pad_from_text(value.toString());
}

// Whether the file at `path` can be written: its folder, or the nearest folder above it
// that exists, takes new files. A save writes a new file beside the old one.
bool can_write(const QString& path) {
    QFileInfo folder(QFileInfo(path).absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder = QFileInfo(folder.absolutePath());
    return folder.isDir() && folder.isWritable() &&
           (!QFileInfo::exists(path) || QFileInfo(path).isWritable());
}

// Why the file at `path` is no settings file, or nothing when it is one or is missing.
// Only a regular file is ever opened: a FIFO would block the game and a device may never
// end. One that cannot be opened is left to the readability check.
std::optional<QString> unfit(const QString& path) {
    const QFileInfo file(path);  // follows a link to what it points at
    if (!file.exists())
        return std::nullopt;
    if (!file.isFile())
        return QStringLiteral("is not a regular file");
    if (file.size() > kLargestFile)
        return QStringLiteral("is larger than 64 KiB");
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = in.read(kLargestFile + 1);
    if (head.size() > kLargestFile)  // it grew since it was looked at
        return QStringLiteral("is larger than 64 KiB");
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(head);  // decoding is what finds a broken sequence
    if (head.contains('\0') || utf8.hasError())
        return QStringLiteral("is not text");
    // Qt's packed values ("@Variant(...)") are read into whatever they claim, lists of
    // billions included; the game never writes one.
    if (head.contains("@Variant(") || head.contains("@DateTime("))
        return QStringLiteral("holds packed values the game never writes");
    return std::nullopt;
}

// How a key is written in the file: [play] safe_start.
QString shown(const char* key) {
    return QStringLiteral("[") + QString::fromLatin1(key).replace('/', QStringLiteral("] "));
}

}  // namespace

Settings::Settings(QString path, std::function<void(const QString&)> say)
    : path_(std::move(path)), say_(std::move(say)) {}

QString Settings::default_path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Grimbolt/grimbolt.conf");
}

void Settings::say_once(const QString& what) {
    if (!std::exchange(said_, true))
        say_(what);
}

Options Settings::load() {
    Options options;
    known_ = options;
    broken_.clear();
    taken_.clear();
    if (refused())
        return options;
    const QFileInfo file(path_);
    const QFileInfo folder(file.absolutePath());
    if ((file.exists() && !file.isReadable()) ||
        (folder.exists() && !(folder.isDir() && folder.isReadable() && folder.isExecutable()))) {
        say_once(QStringLiteral("cannot read %1: playing with the default settings")
                     .arg(printable(path_)));
        return options;
    }
    if (!can_write(path_))
        say_once(QStringLiteral("cannot write %1: changed settings last until the game ends")
                     .arg(printable(path_)));

    const QSettings ini(path_, QSettings::IniFormat);
    const auto broken = [&](const char* key) {
        broken_ << QLatin1String(key);
        say_(QStringLiteral("%1: %2 is not valid, taking its default")
                 .arg(printable(path_), shown(key)));
    };
    for (const Flag& flag : kFlags) {
        if (!ini.contains(QLatin1String(flag.key)))
            continue;
        if (const auto on = flag_value(ini.value(QLatin1String(flag.key))))
            options.*flag.field = *on;
        else
            broken(flag.key);
    }
    if (ini.contains(QLatin1String(kTickKey))) {
        if (const auto ms = tick_value(ini.value(QLatin1String(kTickKey))))
            options.tick_ms = *ms;
        else
            broken(kTickKey);
    }
    if (ini.contains(QLatin1String(kLanguageKey))) {
        if (const auto language = language_value(ini.value(QLatin1String(kLanguageKey))))
            options.language = *language;
        else
            broken(kLanguageKey);
    }
    for (const Word& word : kWords) {
        if (!ini.contains(QLatin1String(word.key)))
            continue;
        if (const auto text = word_value(ini.value(QLatin1String(word.key)), word.longest))
            options.*word.field = *text;
        else
            broken(word.key);
    }
    // The keys and the pad's buttons: one line an action. A line that takes what another
    // action already has gives way to its default.
    const auto read_actions = [&](QString (*key_of)(Action), const auto& take) {
        std::array<bool, kActions> chosen{};
        for (int i = 0; i < kActions; ++i) {
            const QString key = key_of(Action(i));
            if (!ini.contains(key))
                continue;
            if (take(Action(i), ini.value(key)))
                chosen[std::size_t(i)] = true;
            else
                broken(qPrintable(key));
        }
        return chosen;
    };
    const auto settled = [&](QString (*key_of)(Action), const auto& losers, const char* what) {
        for (const Action a : losers) {
            broken_ << key_of(a);
            taken_[key_of(a)] = text_of(ini.value(key_of(a)));
            say_(QStringLiteral("%1: %2 takes a %3 of another action, taking its default")
                     .arg(printable(path_), shown(qPrintable(key_of(a))), QLatin1String(what)));
        }
    };
    const auto chosen_keys = read_actions(keys_key, [&](Action a, const QVariant& value) {
        const auto keys = keys_value(value);
        if (keys)
            options.keys.keys[std::size_t(a)] = *keys;
        return keys.has_value();
    });
    settled(keys_key, options.keys.settle(chosen_keys), "key");
    const auto chosen_buttons = read_actions(pad_key, [&](Action a, const QVariant& value) {
        const auto button = pad_value(value);
        if (button)
            options.pad.button[std::size_t(a)] = std::int8_t(*button);
        return button.has_value();
    });
    settled(pad_key, options.pad.settle(chosen_buttons), "button");
    known_ = options;
    // A new player, who has no settings file yet, starts with the fair start on; the
    // file gets it with the first setting kept.
    if (!file.exists())
        options.fair_start = true;
    return options;
}

bool Settings::refused() {
    const auto why = unfit(path_);
    if (why)
        say_once(QStringLiteral("the settings file %1 %2: the defaults are used and nothing is "
                                "saved")
                     .arg(printable(path_), *why));
    return why.has_value();
}

void Settings::save(const Options& options) {
    // Checked again, as the file may have been swapped since it was read; a bad one is
    // left as it is.
    if (refused())
        return;
    QSettings ini(path_, QSettings::IniFormat);
    // What this game changed; and what it found broken, unless another game has put
    // it right since.
    const auto needed = [&](const char* key, bool changed, bool valid_now) {
        return changed || (broken_.contains(QLatin1String(key)) && !valid_now);
    };
    for (const Flag& flag : kFlags) {
        const bool valid = flag_value(ini.value(QLatin1String(flag.key))).has_value();
        if (needed(flag.key, options.*flag.field != known_.*flag.field, valid))
            ini.setValue(QLatin1String(flag.key), options.*flag.field);
    }
    const bool valid = tick_value(ini.value(QLatin1String(kTickKey))).has_value();
    if (needed(kTickKey, options.tick_ms != known_.tick_ms, valid))
        ini.setValue(QLatin1String(kTickKey), options.tick_ms);
    const bool valid_language = language_value(ini.value(QLatin1String(kLanguageKey))).has_value();
    if (needed(kLanguageKey, options.language != known_.language, valid_language))
        ini.setValue(QLatin1String(kLanguageKey), options.language);
    for (const Word& word : kWords) {
        const bool valid = word_value(ini.value(QLatin1String(word.key)), word.longest).has_value();
        if (needed(word.key, options.*word.field != known_.*word.field, valid))
            ini.setValue(QLatin1String(word.key), options.*word.field);
    }
    for (int i = 0; i < kActions; ++i) {
        const QString key = keys_key(Action(i));
        const auto& now = options.keys.keys[std::size_t(i)];
        // Two keys as QSettings writes a list: "X, Up".
        if (needed(qPrintable(key), now != known_.keys.keys[std::size_t(i)],
                   keys_value(ini.value(key)).has_value() && !still_taken(ini, key)))
            ini.setValue(key, keys_text(now).split(QLatin1String(", ")));
    }
    for (int i = 0; i < kActions; ++i) {
        const QString key = pad_key(Action(i));
        const int now = options.pad.of(Action(i));
        if (needed(qPrintable(key), now != known_.pad.of(Action(i)),
                   pad_value(ini.value(key)).has_value() && !still_taken(ini, key)))
            ini.setValue(key, pad_text(now));
    }
    const QString folder = QFileInfo(path_).absolutePath();
    QDir().mkpath(folder);
    // The token is the player's name on the world's server: the folder is the player's
    // alone before the file is written, as the file is briefly readable while written.
    if (!options.world_token.isEmpty())
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ini.sync();
    if (!options.world_token.isEmpty())
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (ini.status() != QSettings::NoError) {
        say_once(QStringLiteral("cannot write %1: changed settings last until the game ends")
                     .arg(printable(path_)));
        return;
    }
    known_ = options;
    broken_.clear();
    taken_.clear();
}

bool Settings::still_taken(const QSettings& ini, const QString& key) const {
    return taken_.contains(key) && text_of(ini.value(key)) == taken_.value(key);
}

}  // namespace grimbolt
