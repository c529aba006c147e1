#pragma once
// Sends the outbox's games to the world server, one at a time, the oldest first. A game
// leaves the outbox only when the server kept it (its rank is kept) or refused it for
// good (its reason is kept); when the server is away or busy, the games wait, and the
// post tries again a minute later, and at the next start.

#include <QObject>
#include <QString>
#include <QTimer>

namespace grimbolt {

class Outbox;
class WorldClient;

class WorldPost : public QObject {
    Q_OBJECT
  public:
    // `outbox` and `client` outlive the post.
    WorldPost(Outbox& outbox, WorldClient& client, QObject* parent = nullptr);

    // The player's token; with none, nothing is sent.
    void set_token(const QString& token) { token_ = token; }
    void set_retry(std::chrono::milliseconds after) { retry_.setInterval(after); }
    // Puts a recording in the outbox and sends what waits.
    bool send(const QByteArray& recording);
    // Sends what waits, unless it is sending already.
    void post();
    bool sending() const { return sending_; }

  signals:
    // A game's fate changed: kept, refused, or waiting.
    void changed();
    // What went wrong, in one line.
    void said(const QString& line);
    // Every game that waited was answered for, or the server is away.
    void idle();

  private:
    void next();

    Outbox& outbox_;
    WorldClient& client_;
    QString token_;
    QTimer retry_;
    bool sending_ = false;
};

}  // namespace grimbolt
