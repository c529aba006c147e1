#pragma once
// The player's link to the world's hall of fame: the server and the name claimed there
// with its token, the outbox of games to send and the post that sends them, and the
// client the hall window reads the board with. Nothing is sent anywhere until the
// player joins a server.

#include <QObject>
#include <QString>

#include "shell/online/outbox.h"
#include "shell/online/world_client.h"
#include "shell/online/world_post.h"

namespace grimbolt {

class WorldLink : public QObject {
    Q_OBJECT
  public:
    struct Account {
        QString server;  // as the player typed it
        QString name;    // as the server gave it back
        QString token;   // the secret that proves the name is the player's
        bool operator==(const Account&) const = default;
    };

    // The outbox lives in `outbox_folder`.
    explicit WorldLink(const QString& outbox_folder, QObject* parent = nullptr);

    // The account kept from an earlier run; what waits in the outbox is sent to it.
    void set_account(const Account& account);
    const Account& account() const { return account_; }
    bool joined() const { return !account_.token.isEmpty() && client_.server().isValid(); }
    // Claims `name` on the server at `server`: `claimed` when it is the player's, `said`
    // with one line otherwise.
    void join(const QString& server, const QString& name);

    // Puts a recording in the outbox and sends it; false unless the player has joined
    // and the recording is in the outbox.
    bool send(const QByteArray& recording);
    Outbox::Fate fate(const QByteArray& recording) const;
    WorldClient& client() { return client_; }
    WorldPost& post() { return post_; }

  signals:
    // The name is the player's: the account is to be kept.
    void claimed(const WorldLink::Account& account);
    // What went wrong, in one line.
    void said(const QString& line);
    // A game's fate changed.
    void changed();

  private:
    Outbox outbox_;
    WorldClient client_;
    WorldPost post_;
    Account account_;
    int joining_ = 0;  // the latest claim's number: an earlier one's answer is stale
};

}  // namespace grimbolt
