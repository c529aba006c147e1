#pragma once
// The enhanced edition's options, kept between runs in an INI file that a player may
// edit too: $XDG_CONFIG_HOME/Grimbolt/grimbolt.conf (or ~/.config/...). The classic
// edition never touches it.

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

#include "shell/input/key_bindings.h"
#include "shell/input/pad_bindings.h"

class QSettings;

namespace grimbolt {

// Every option, off (and the classic's 50 ms) unless the player turns it on; a new
// player's settings file starts with the fair start on.
struct Options {
    bool safe_start = false;                  // [play] safe_start
    bool fair_start = false;                  // [play] fair_start
    bool remember_speed = false;              // [play] remember_speed
    int tick_ms = 50;                         // [play] tick_ms, 1 to 2001
    bool full_screen = false;                 // [window] full_screen: keep full screen between runs
    bool was_full_screen = false;             // [window] was_full_screen: how the last run left it
    bool pause_sign = false;                  // [show] pause_sign
    bool game_over = false;                   // [show] game_over
    QString language = QStringLiteral("ru");  // [show] language: ru or en
    bool sound = true;                        // [sound] enabled: on, as the Music item's mark shows
    KeyBindings keys = KeyBindings::classic();  // [keys] walk_left=Left, jet=X, Up ...
    PadBindings pad = PadBindings::classic();   // [pad] fire=a, jet=b, help=none ...
    // The world's hall of fame: no server unless the player joins one. The token proves
    // the name is the player's; it is never printed.
    QString world_server;     // [world] server
    QString world_name;       // [world] name
    QString world_token;      // [world] token
    bool world_send = false;  // [world] send: each game that enters the hall is sent

    bool operator==(const Options&) const = default;
};

class Settings {
  public:
    // Reads and writes the file at `path`; tells `say` what it could not, once each.
    Settings(QString path, std::function<void(const QString&)> say);

    // $XDG_CONFIG_HOME/Grimbolt/grimbolt.conf, or ~/.config/Grimbolt/grimbolt.conf.
    static QString default_path();

    // The options in the file; with no file yet, a new player's. A value that is
    // missing is its default; one of the wrong
    // type or out of range is its default too, with a line that names its key. A file
    // that is no settings file (not a regular file, over 64 KiB, not UTF-8 text) gives
    // the defaults, one line, and is never written.
    Options load();
    // Writes the options that differ from the file's, so that of two games running at
    // once the last one to change a setting wins and the other settings stay.
    void save(const Options& options);

  private:
    void say_once(const QString& what);
    // Whether the file is no settings file (not a regular file, too large, not text):
    // says which, once; the defaults stand and the file is left alone.
    bool refused();

    QString path_;
    std::function<void(const QString&)> say_;
    Options known_;  // the file's options as this game last read or wrote them
    // A line that took another action's key or button, as the file had it: it is its
    // default now, and written so at the next save unless the file changed meanwhile.
    bool still_taken(const QSettings& ini, const QString& key) const;

    QStringList broken_;  // keys whose values in the file were broken when read
    QHash<QString, QString> taken_;
    bool said_ = false;  // the folder's or the file's trouble is told once
};

}  // namespace grimbolt
