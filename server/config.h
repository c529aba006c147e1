#pragma once
// What a world server is told: where it listens, where it keeps its games, and its
// limits. From the command line, a configuration file (INI), or both: the command line
// wins.

#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <optional>

#include "server/http_server.h"

namespace grimbolt::server {

struct ServerConfig {
    QString address = QStringLiteral("127.0.0.1");
    std::uint16_t port = 8640;
    QString data;      // the folder of the SQLite database, when no database is named
    QString database;  // postgresql://...; empty: SQLite in `data`
    HttpLimits http;
    int provers = 0;                // threads that prove recordings; 0: one a core
    int queue = 64;                 // recordings waiting for a prover, beyond which 503
    int per_minute = 60;            // requests a client address may make a minute
    int uploads_per_minute = 6;     // of them, games and names sent
    int games_per_day = 100;        // new games one player may have kept in a day
    int clients_counted = 100'000;  // a minute's clients counted one by one; more, in a sketch
    QStringList proxies;            // addresses whose X-Forwarded-For is believed

    // The database as the store takes it.
    QString store() const;
};

// Reads the command line (and the file --config names). Nothing, with the text to say
// in `message` and whether it is an error, when the program should stop at once
// (--help, --version, a wrong option or value).
std::optional<ServerConfig> read_config(const QStringList& arguments, QString* message,
                                        bool* error);

}  // namespace grimbolt::server
