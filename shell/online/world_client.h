#pragma once
// The world server as the game speaks to it. Every request is asynchronous, has a
// deadline, reads back no more than a recording may be, follows no redirect and honours
// the environment's proxy settings. The answer comes on the client's thread.

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace grimbolt {

class WorldClient : public QObject {
    Q_OBJECT
  public:
    struct Answer {
        // Done: the server answered 2xx. Refused: it said no for good (4xx but 429).
        // Later: no answer, a busy or broken server, or one that is not a Grimbolt
        // server: the same request may be made again.
        enum Kind { Done, Refused, Later };
        Kind kind = Later;
        int status = 0;
        QJsonObject body;  // a JSON answer's
        QByteArray bytes;  // a download's
        QString line;      // what happened, in one line for the window
    };
    using Reply = std::function<void(const Answer&)>;

    explicit WorldClient(QObject* parent = nullptr);

    // The server's address as a player types it ("hall.example.org", "http://127.0.0.1:
    // 8640"); nothing for one that is no web address.
    static std::optional<QUrl> server_url(const QString& typed);
    void set_server(const QUrl& server) { server_ = server; }
    const QUrl& server() const { return server_; }
    void set_deadline(std::chrono::milliseconds deadline) { deadline_ = deadline; }

    // Claims a name: Done with {"name", "token"}.
    void join(const QString& name, Reply reply);
    // Sends a recording as the token's player: Done with its entry ({"rank", "id"...}).
    void send(const QByteArray& recording, const QString& token, Reply reply);
    // A board's first `best` entries (the server's page when 0), or those around a
    // player's best game.
    void board(const QString& category, const QString& around, Reply reply, int best = 0);
    // A game's recording.
    void download(std::int64_t id, Reply reply);

  private:
    void ask(const QString& path, const QByteArray& verb, const QByteArray& body,
             const QList<std::pair<QByteArray, QByteArray>>& headers, bool json, Reply reply);

    QNetworkAccessManager network_;
    QUrl server_;
    std::chrono::milliseconds deadline_{20'000};
};

}  // namespace grimbolt
