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
#include <string>
#include <unordered_map>

#include "server/config.h"
#include "server/http_server.h"
#include "server/store.h"

namespace grimbolt::server {

class World {
  public:
    using Log = std::function<void(const QString&)>;
    World(const ServerConfig& config, Store& store, Log log);
    ~World();

    // The server's handler: answers now, or once the recording sent is proven.
    void handle(HttpRequest request, HttpServer::Reply reply);
    // Waits for every proof accepted so far to be answered.
    void finish();

    // The boards there are, the classic speed first.
    static QStringList categories();
    // Proofs accepted and not yet answered.
    int proving() const { return proving_; }

  private:
    void claim(const HttpRequest& request, const HttpServer::Reply& reply);
    void submit(HttpRequest request, HttpServer::Reply reply);
    void prove(const HttpRequest& request, std::int64_t player, const HttpServer::Reply& reply);
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
    struct Minute {
        std::int64_t minute = 0;
        int requests = 0;
        int uploads = 0;
    };
    std::mutex rate_lock_;
    std::unordered_map<std::string, Minute> rates_;
};

}  // namespace grimbolt::server
