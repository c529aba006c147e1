#pragma once
// The games waiting to be sent to the world's hall of fame, in a folder of the player's
// data: each recording a file of its own, written whole or not at all, named by its
// SHA-256, and gone only once the server has answered for it for good. What the
// server said of each game is kept beside it, so the hall window can tell it.
// Everything in the folder is read as a stranger's: only regular files, only names
// the outbox gives, never larger than a recording may be.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace grimbolt {

class Outbox {
  public:
    // What became of a game.
    struct Fate {
        enum Kind { NotSent, Waiting, Ranked, Refused };
        Kind kind = NotSent;
        std::int64_t rank = 0;  // on the board, when it was kept
        std::int64_t id = 0;    // the server's number for it
        QString why;            // the server's reason, when refused
        bool operator==(const Fate&) const = default;
    };
    // The outbox looks at so many waiting games at most, the oldest first.
    static constexpr int kMostWaiting = 1000;

    explicit Outbox(QString folder);
    // $XDG_DATA_HOME/Grimbolt/outbox
    static QString default_folder();
    const QString& folder() const { return folder_; }

    // A recording's name in the outbox: the hex of its SHA-256.
    static QString key_of(const QByteArray& recording);
    // Puts a recording in, whole or not at all; true when it is there afterwards.
    bool put(const QByteArray& recording);
    // The waiting games' keys, the oldest first.
    QStringList waiting() const;
    // A waiting game's recording; empty when it is gone or is not what its name says.
    QByteArray recording(const QString& key) const;
    // A waiting game that is not what its name says (or cannot be read) goes into the
    // folder's "damaged" folder, so that it is never read again.
    void put_aside(const QString& key);
    // The server answered for a game for good: its fate is written, then the game
    // leaves the outbox. False when the fate could not be written (the game waits on).
    bool settle(const QString& key, const Fate& fate);
    // What became of a game: waiting, settled, or never put in.
    Fate fate(const QString& key) const;

  private:
    QString path_of(const QString& key, const char* suffix) const;

    QString folder_;
};

}  // namespace grimbolt
