// The world server's speed, over loopback, in one run:
//   server/uploads: many clients send real recordings at once while a reader asks for
//     the classic board; verified uploads a second against the verifier's own limit
//     (cores over one proof's time, measured here), p50 and p99 of an upload, p99 of
//     the board's page, and the server's memory;
//   million/1000000/S: a page of a board of a million games with S different scores,
//     first, last and around a player in its middle; on SQLite, or on the PostgreSQL
//     $GRIMBOLT_BENCH_DATABASE names.
//   build-bench/grimbolt-server-bench

#include <benchmark/benchmark.h>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "replay/proof.h"
#include "server/http_server.h"
#include "server/players.h"
#include "server/store.h"
#include "server/variants.h"
#include "server/world.h"

namespace grimbolt::bench {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using server::HttpServer;
using Clock = std::chrono::steady_clock;

std::string recorded_game() {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

// Other plays of the recorded game, each proven, none twice.
std::vector<std::string> other_games(const std::string& game, std::size_t count) {
    std::vector<std::string> games;
    std::vector<std::uint64_t> seen;
    for (int n = 0; games.size() < count && n < 4 * int(count); ++n) {
        std::string other = server::other_game(game, n);
        if (other.empty())
            continue;
        const std::uint64_t print = verify(other).fingerprint;
        if (std::find(seen.begin(), seen.end(), print) != seen.end())
            continue;
        seen.push_back(print);
        games.push_back(std::move(other));
    }
    return games;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

double rss_mb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// A client on one kept-alive connection.
struct Client {
    net::io_context io;
    beast::tcp_stream stream{io};
    explicit Client(std::uint16_t port) {
        stream.connect(net::ip::tcp::endpoint(net::ip::make_address("127.0.0.1"), port));
    }
    int ask(http::verb verb, const std::string& target, const std::string& body = {},
            const std::string& token = {}) {
        http::request<http::string_body> request{verb, target, 11};
        request.set(http::field::host, "127.0.0.1");
        if (!token.empty())
            request.set(http::field::authorization, "Bearer " + token);
        request.body() = body;
        request.prepare_payload();
        http::write(stream, request);
        beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(stream, buffer, response);
        return response.result_int();
    }
};

void uploads(benchmark::State& state) {
    const std::string game = recorded_game();
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int clients = int(state.range(0));
    const int each = int(state.range(1));
    const std::vector<std::string> games = other_games(game, std::size_t(clients * each));
    if (int(games.size()) < clients * each)
        return state.SkipWithError("too few other games");
    // The verifier's own limit: every core proving these games, nothing else.
    QElapsedTimer one;
    one.start();
    constexpr int kProofs = 20;
    for (int i = 0; i < kProofs; ++i)
        benchmark::DoNotOptimize(verify(games[std::size_t(i)]));
    const double proof_s = double(one.nsecsElapsed()) / 1e9 / kProofs;
    const double limit = double(cores) / proof_s;

    QTemporaryDir dir;
    server::ServerConfig config;
    config.data = dir.path();
    config.per_minute = 1'000'000;
    config.uploads_per_minute = 1'000'000;
    config.games_per_day = 1'000'000;
    config.queue = 1000;
    server::Store store(config.store());
    QString why;
    if (!store.open(&why))
        return state.SkipWithError(qPrintable(why));
    server::World world(config, store, [](const QString&) {});
    HttpServer http(
        config.http,
        [&world](server::HttpRequest r, HttpServer::Reply reply) {
            world.handle(std::move(r), std::move(reply));
        },
        [](const std::string&) {});
    std::string failed;
    http.listen("127.0.0.1", 0, &failed);
    std::thread serving([&http] { http.run(); });
    const double rss_before = rss_mb();

    int next = 0;
    for (auto _ : state) {
        const QByteArray token = server::new_token();
        store.claim(QStringLiteral("bench%1").arg(next), server::token_hash(token));
        std::vector<double> upload_ms;
        std::vector<double> board_ms;
        std::mutex lock;
        std::atomic<int> kept{0};
        std::atomic<bool> loading{true};
        std::thread reader([&] {
            Client c(http.port());
            std::vector<double> mine;
            while (loading) {
                const auto t = Clock::now();
                c.ask(http::verb::get, "/boards/classic");
                mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            const std::lock_guard hold(lock);
            board_ms = std::move(mine);
        });
        const auto start = Clock::now();
        std::vector<std::thread> senders;
        for (int c = 0; c < clients; ++c) {
            senders.emplace_back([&, c] {
                Client client(http.port());
                std::vector<double> mine;
                for (int i = 0; i < each; ++i) {
                    const std::string& body = games[std::size_t(c * each + i)];
                    const auto t = Clock::now();
                    const int status =
                        client.ask(http::verb::post, "/api/v1/games", body, token.toStdString());
                    mine.push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - t).count());
                    kept += status == 201;
                }
                const std::lock_guard hold(lock);
                upload_ms.insert(upload_ms.end(), mine.begin(), mine.end());
            });
        }
        for (std::thread& t : senders)
            t.join();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        loading = false;
        reader.join();
        next += clients * each;
        const double rate = kept / seconds;
        state.counters["uploads_per_s"] = rate;
        state.counters["verifier_limit_per_s"] = limit;
        state.counters["of_limit"] = rate / limit;
        state.counters["proof_ms"] = proof_s * 1000;
        state.counters["upload_p50_ms"] = percentile(upload_ms, 0.5);
        state.counters["upload_p99_ms"] = percentile(upload_ms, 0.99);
        state.counters["board_p99_ms"] = percentile(board_ms, 0.99);
        state.counters["kept"] = kept.load();
        if (kept != clients * each)
            state.SkipWithError("an upload was not kept");
    }
    state.counters["server_rss_mb"] = rss_mb();
    state.counters["rss_growth_mb"] = rss_mb() - rss_before;
    http.stop();
    serving.join();
}

// A board of a million games: its first page, a page deep down, and the page around a
// player in its middle; with points spread over a thousand scores, or all equal.
void million(benchmark::State& state) {
    QTemporaryDir dir;
    const QString url = qEnvironmentVariable("GRIMBOLT_BENCH_DATABASE");
    server::Store store(url.isEmpty() ? dir.filePath(QStringLiteral("million.sqlite")) : url);
    QString why;
    if (!store.open(&why))
        return state.SkipWithError(qPrintable(why));
    const std::int64_t games = state.range(0);
    const std::int64_t scores = state.range(1);
    const QString board = scores == 1 ? QStringLiteral("tied") : QStringLiteral("classic");
    const QString middle = QStringLiteral("Middle-") + board;
    std::int64_t there = 0;
    store.count(board, &there);
    if (there < games) {
        // One player, and a million games made by the database itself, each with its
        // place among those with as many points.
        store.claim(QStringLiteral("Many"), server::token_hash("many"));
        const bool pg = store.postgres();
        store.execute(
            QStringLiteral(
                "INSERT INTO games (player_id, digest, category, score, earned, ticks, seconds, "
                "played, received) SELECT 1, '%2' || n, '%2', (CAST(n AS BIGINT) * 7919) %% "
                "100000, ((CAST(n AS BIGINT) * 7919) %% %3) * 100, 1000, 50, '2026-02-01', "
                "'2026-02-01' FROM %1")
                .arg(pg ? QStringLiteral("generate_series(1, %1) AS s(n)").arg(games)
                        : QStringLiteral("(WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL "
                                         "SELECT n + 1 FROM s WHERE n < %1) SELECT n "
                                         "FROM s)")
                              .arg(games),
                     board)
                .arg(scores)
                .replace(QStringLiteral("%%"), QStringLiteral("%")));
        store.execute(QStringLiteral(
            "UPDATE games SET place = ranked.place FROM (SELECT id, ROW_NUMBER() OVER "
            "(PARTITION BY category, earned ORDER BY id) - 1 AS place FROM games) AS ranked "
            "WHERE games.id = ranked.id AND games.place IS NULL"));
        store.execute(QStringLiteral("DELETE FROM score_counts"));
        store.execute(
            QStringLiteral("INSERT INTO score_counts (category, earned, games) SELECT "
                           "category, earned, COUNT(*) FROM games GROUP BY category, "
                           "earned"));
        store.execute(QStringLiteral("ANALYZE"));
        store.claim(middle, server::token_hash(middle.toLatin1()));
        store.execute(QStringLiteral("UPDATE games SET player_id = (SELECT id FROM players "
                                     "WHERE name = '%1') WHERE id = (SELECT MIN(id) FROM games "
                                     "WHERE category = '%2') + %3")
                          .arg(middle, board)
                          .arg(games / 2));
    }
    store.count(board, &there);
    std::vector<server::BoardEntry> page;
    std::vector<double> first_ms, deep_ms, around_ms;
    for (auto _ : state) {
        for (auto [list, kind] : {std::pair{&first_ms, 0}, {&deep_ms, 1}, {&around_ms, 2}}) {
            const auto t = Clock::now();
            if (kind == 0)
                store.board(board, 0, 50, &page);
            else if (kind == 1)
                store.board(board, games - 50, 50, &page);
            else
                store.around(board, middle, 5, &page);
            list->push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        }
        if (page.size() != 11)
            return state.SkipWithError("no page around the player");
    }
    state.counters["games"] = double(there);
    state.counters["first_page_p99_ms"] = percentile(first_ms, 0.99);
    state.counters["deep_page_p99_ms"] = percentile(deep_ms, 0.99);
    state.counters["around_p99_ms"] = percentile(around_ms, 0.99);
}

BENCHMARK(uploads)->Args({8, 25})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(million)
    ->Args({1'000'000, 1000})
    ->Args({1'000'000, 1})
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace grimbolt::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
