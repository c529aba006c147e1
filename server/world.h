#pragma once
// The world hall of fame's answers: players claim names, send recordings that the
// server proves itself before keeping them, and read the boards, as JSON and as a page.
// Proofs run on a pool of their own, so that reading never waits for one.

#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "server/config.h"
#include "server/http_server.h"
#include "server/store.h"

namespace grimbolt::server {

class World {
  public:
    using Log = std::function<void(const QString&)>;
    World(const ServerConfig& config, Store& store, Log log);
    ~World();

    // The server's look at a request's head (HttpServer::Admit): too many requests from
    // its client, or an upload without a player's token, are answered before the body is
    // read; a name's claim takes a small body only.
    std::optional<HttpResponse> admit(const HttpRequest& head, std::size_t& body_limit,
                                      std::shared_ptr<void>& hold);
    // The server's handler: answers once the database or a proof has answered, on
    // threads of the world's own.
    void handle(HttpRequest request, HttpServer::Reply reply);
    // Waits for every proof accepted so far to be answered.
    void finish();

    // The boards there are, the classic speed first.
    static QStringList categories();
    // Proofs accepted and not yet answered.
    int proving() const { return proving_; }

  private:
    void route(HttpRequest request, const HttpServer::Reply& reply);
    void claim(const HttpRequest& request, const HttpServer::Reply& reply);
    void submit(HttpRequest request, HttpServer::Reply reply);
    HttpResponse enough_today() const;
    void prove(const HttpRequest& request, std::int64_t player, const QString& sender,
               const HttpServer::Reply& reply);
    void keep(const ProvenGame& game, std::int64_t player, const QString& sender,
              const HttpServer::Reply& reply);
    void board(const QString& category, const QString& query, bool page,
               const HttpServer::Reply& reply);
    void recording(const QString& id, const HttpServer::Reply& reply);
    // The client's address: the connection's, or what a trusted proxy says it is.
    std::string client_of(const HttpRequest& request) const;
    // Counts a request of a client this minute; false when it has made too many.
    bool within_rate(const std::string& client, bool upload);

    ServerConfig config_;
    Store& store_;
    Log log_;
    QThreadPool provers_;
    std::atomic<int> proving_{0};
    QThreadPool desk_;  // everything else that asks the database
    std::atomic<int> desk_waiting_{0};
    // An address as the limits count it: IPv4 as such (never mapped into IPv6), and an
    // IPv6 client by its /64 when `by_network`.
    static QString address_key(const QString& text, bool by_network);

    struct Minute {
        int requests = 0;
        int uploads = 0;
    };
    QStringList proxies_;  // as address_key gives them
    std::mutex rate_lock_;
    std::int64_t rates_minute_ = 0;
    std::unordered_map<std::string, Minute> rates_;  // this minute's
    // Past the clients counted one by one, a minute's newcomers are counted in a fixed
    // table of counts, four to a client (a count-min sketch): a flood of addresses costs
    // no more memory, and puts no one else past the limit.
    std::vector<Minute> sketch_;
    // Tokens of players this server has seen (a name claimed, a game sent): their uploads
    // are read within the bodies' whole bound. Any other token's upload is read within a
    // quarter of it, so that made-up tokens cannot keep the players out.
    std::mutex tokens_lock_;
    std::unordered_set<std::string> known_tokens_;
    std::shared_ptr<std::atomic<std::size_t>> strangers_bytes_ =
        std::make_shared<std::atomic<std::size_t>>(0);
    void know_token(const QByteArray& hash);
    Minute sketched(const std::string& client, bool upload);
};

}  // namespace grimbolt::server
