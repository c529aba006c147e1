#include "server/world.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>
#include <thread>

#include "replay/proof.h"
#include "server/page.h"
#include "server/players.h"

namespace grimbolt::server {
namespace {

constexpr int kPageMost = 100;
constexpr int kPageDefault = 50;
constexpr int kAroundEachSide = 5;
constexpr std::int64_t kDeepestOffset = 10'000'000;

HttpResponse json(int status, const QJsonObject& body, HttpResponse r = {}) {
    r.status = status;
    r.content_type = "application/json";
    r.body = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString() + "\n";
    return r;
}

HttpResponse problem(int status, const char* error, const QString& why = {}) {
    QJsonObject o{{QStringLiteral("error"), QLatin1String(error)}};
    if (!why.isEmpty())
        o.insert(QStringLiteral("why"), why);
    return json(status, o);
}

HttpResponse unavailable(const char* why, int retry_seconds) {
    HttpResponse r = problem(503, why);
    r.headers.emplace_back("Retry-After", std::to_string(retry_seconds));
    return r;
}

QJsonObject entry_json(const BoardEntry& e) {
    const QString link = QStringLiteral("/api/v1/games/%1").arg(e.id);
    return QJsonObject{
        {QStringLiteral("id"), qint64(e.id)},
        {QStringLiteral("rank"), qint64(e.rank)},
        {QStringLiteral("name"), e.name},
        {QStringLiteral("category"), e.category},
        {QStringLiteral("earned"), e.earned},
        {QStringLiteral("score"), e.score},
        {QStringLiteral("date"), e.played},
        {QStringLiteral("ticks"), e.ticks},
        {QStringLiteral("seconds"), e.seconds},
        {QStringLiteral("links"), QJsonObject{{QStringLiteral("recording"), link}}},
    };
}

// Why a proof found no proven game, in the words the answer gives.
const char* refusal_of(const Verdict& v) {
    switch (v.outcome) {
        case Verdict::Unreadable:
            return "unreadable";
        case Verdict::Differs:
        case Verdict::Old:
            return "not proven";
        default:
            break;
    }
    if (v.why.find("rules version") != std::string::npos ||
        v.why.find("version of the rules") != std::string::npos)
        return "wrong rules version";
    if (v.why.find("more than") != std::string::npos || v.why.find("larger") != std::string::npos)
        return "too long";
    return "forged";
}

std::int64_t this_minute() {
    return QDateTime::currentSecsSinceEpoch() / 60;
}

}  // namespace

World::World(const ServerConfig& config, Store& store, Log log)
    : config_(config), store_(store), log_(std::move(log)) {
    provers_.setMaxThreadCount(config.provers > 0
                                   ? config.provers
                                   : int(std::max(1u, std::thread::hardware_concurrency())));
    // A prover thread keeps its database connection: it is not ended while idle.
    provers_.setExpiryTimeout(-1);
}

World::~World() {
    finish();
}

void World::finish() {
    provers_.waitForDone();
}

QStringList World::categories() {
    QStringList names;
    for (const int period : {50, 51})
        for (const bool safe : {false, true})
            for (const bool fair : {false, true})
                names << QString::fromStdString(category_of(period, safe, fair));
    return names;
}

std::string World::client_of(const HttpRequest& request) const {
    if (!config_.proxies.contains(QString::fromStdString(request.peer)))
        return request.peer;
    // The last address a proxy of ours added is the one that reached it.
    const QStringList chain =
        QString::fromStdString(request.header("X-Forwarded-For")).split(QLatin1Char(','));
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const QString address = it->trimmed();
        if (!address.isEmpty() && !config_.proxies.contains(address))
            return address.left(64).toStdString();
    }
    return request.peer;
}

bool World::within_rate(const std::string& client, bool upload) {
    const std::int64_t now = this_minute();
    const std::lock_guard lock(rate_lock_);
    // A flood of addresses costs memory only until the minute turns.
    if (rates_.size() > 100'000)
        std::erase_if(rates_, [&](const auto& r) { return r.second.minute != now; });
    Minute& m = rates_[client];
    if (m.minute != now)
        m = Minute{now, 0, 0};
    if (++m.requests > config_.per_minute)
        return false;
    return !upload || ++m.uploads <= config_.uploads_per_minute;
}

void World::handle(HttpRequest request, HttpServer::Reply reply) {
    const std::string client = client_of(request);
    QElapsedTimer clock;
    clock.start();
    const QString line = QStringLiteral("%1 %2 from %3")
                             .arg(QString::fromStdString(request.method),
                                  printable(QString::fromStdString(request.target.substr(0, 200))),
                                  QString::fromStdString(client));
    // Every answer is told in one line.
    HttpServer::Reply answer = [this, reply, line, clock](HttpResponse r) {
        log_(QStringLiteral("%1: %2 in %3 ms")
                 .arg(line, QString::number(r.status), QString::number(clock.elapsed())));
        reply(std::move(r));
    };
    const std::string& target = request.target;
    const std::size_t mark = target.find('?');
    const QString path =
        QUrl::fromPercentEncoding(QByteArray::fromStdString(target.substr(0, mark)));
    const QString query =
        mark == std::string::npos ? QString() : QString::fromStdString(target.substr(mark + 1));
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";

    if (path == QLatin1String("/healthz") && get) {
        if (store_.reachable())
            return answer(HttpResponse{200, "text/plain; charset=utf-8", "ok\n", {}});
        return answer(unavailable("the database is away", 5));
    }
    if (!within_rate(client, post))
        return answer([] {
            HttpResponse r = problem(429, "too many requests");
            r.headers.emplace_back("Retry-After", "60");
            return r;
        }());
    if (path == QLatin1String("/api/v1/players") && post)
        return claim(request, answer);
    if (path == QLatin1String("/api/v1/games") && post)
        return submit(std::move(request), answer);
    if (path.startsWith(QLatin1String("/api/v1/games/")) && get)
        return recording(path.mid(14), answer);
    if (path.startsWith(QLatin1String("/api/v1/boards/")) && get)
        return board(path.mid(15), query, false, answer);
    if (path == QLatin1String("/") && get)
        return board(categories().front(), query, true, answer);
    if (path.startsWith(QLatin1String("/boards/")) && get)
        return board(path.mid(8), query, true, answer);
    const bool known = path == QLatin1String("/") || path == QLatin1String("/healthz") ||
                       path.startsWith(QLatin1String("/api/v1/")) ||
                       path.startsWith(QLatin1String("/boards/"));
    if (known)
        return answer(problem(405, "method not allowed"));
    HttpResponse r{404,
                   "text/html; charset=utf-8",
                   missing_page(QStringLiteral("No page here.")).toStdString(),
                   {}};
    answer(std::move(r));
}

void World::claim(const HttpRequest& request, const HttpServer::Reply& reply) {
    QJsonParseError error{};
    const QJsonDocument body =
        QJsonDocument::fromJson(QByteArray::fromStdString(request.body), &error);
    if (error.error != QJsonParseError::NoError || !body.isObject() ||
        !body.object().value(QStringLiteral("name")).isString())
        return reply(problem(400, "bad request", QStringLiteral("send {\"name\": \"...\"}")));
    QString why;
    const auto name = player_name(body.object().value(QStringLiteral("name")).toString(), &why);
    if (!name)
        return reply(problem(400, "bad name", why));
    const QByteArray token = new_token();
    switch (store_.claim(*name, token_hash(token))) {
        case Store::Result::Done:
            log_(QStringLiteral("claimed the name %1").arg(printable(*name)));
            return reply(
                json(201, QJsonObject{{QStringLiteral("name"), *name},
                                      {QStringLiteral("token"), QString::fromLatin1(token)}}));
        case Store::Result::Exists:
            return reply(problem(409, "name taken"));
        case Store::Result::Down:
            return reply(unavailable("the database is away", 5));
        case Store::Result::Refused:
            break;
    }
    reply(problem(500, "the database refused"));
}

void World::submit(HttpRequest request, HttpServer::Reply reply) {
    const std::string authorization = request.header("Authorization");
    const std::string bearer = "Bearer ";
    std::int64_t player = 0;
    QString name;
    const Store::Result who =
        authorization.rfind(bearer, 0) == 0 && authorization.size() <= bearer.size() + 128
            ? store_.player_of(
                  token_hash(QByteArray::fromStdString(authorization.substr(bearer.size()))),
                  &player, &name)
            : Store::Result::Refused;
    if (who == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (who != Store::Result::Done) {
        HttpResponse r = problem(401, "unknown player",
                                 QStringLiteral("send your token as "
                                                "Authorization: Bearer"));
        r.headers.emplace_back("WWW-Authenticate", "Bearer");
        return reply(r);
    }
    // The queue is bounded: beyond it the sender is asked to come back.
    if (proving_.fetch_add(1) >= config_.queue + provers_.maxThreadCount()) {
        --proving_;
        return reply(unavailable("too many recordings wait to be proven", 10));
    }
    auto shared = std::make_shared<HttpRequest>(std::move(request));
    provers_.start([this, shared, player, reply] {
        prove(*shared, player, reply);
        --proving_;
    });
}

void World::prove(const HttpRequest& request, std::int64_t player, const HttpServer::Reply& reply) {
    const Verdict v = verify(request.body);
    if (v.outcome != Verdict::Proven) {
        const char* error = refusal_of(v);
        return reply(problem(v.outcome == Verdict::Unreadable ? 400 : 422, error,
                             QString::fromStdString(v.why)));
    }
    const std::size_t mark = request.target.find('?');
    const QUrlQuery query(mark == std::string::npos
                              ? QString()
                              : QString::fromStdString(request.target.substr(mark + 1)));
    const QString filed = query.queryItemValue(QStringLiteral("category"), QUrl::FullyDecoded);
    const QString category = QString::fromStdString(v.category);
    if (!filed.isEmpty() && filed != category)
        return reply(problem(422, "not its category",
                             QStringLiteral("the game proves as %1, not %2").arg(category, filed)));
    ProvenGame game;
    game.recording = QByteArray::fromStdString(request.body);
    game.digest = QCryptographicHash::hash(game.recording, QCryptographicHash::Sha256).toHex();
    game.category = category;
    game.score = v.replayed;
    game.earned = v.earned;
    game.ticks = v.ticks;
    game.seconds = v.seconds;
    game.played = QString::fromStdString(v.date);
    BoardEntry entry;
    switch (store_.add(player, game, &entry)) {
        case Store::Result::Done:
            log_(QStringLiteral("proven and kept game %1: %2 points, rank %3 in %4")
                     .arg(entry.id)
                     .arg(entry.earned)
                     .arg(entry.rank)
                     .arg(category));
            return reply(json(201, entry_json(entry)));
        case Store::Result::Exists:
            return reply(json(200, entry_json(entry)));
        case Store::Result::Down:
            return reply(unavailable("the database is away", 5));
        case Store::Result::Refused:
            break;
    }
    reply(problem(500, "the database refused"));
}

void World::board(const QString& category, const QString& query_text, bool page,
                  const HttpServer::Reply& reply) {
    if (!categories().contains(category)) {
        if (page)
            return reply(HttpResponse{404,
                                      "text/html; charset=utf-8",
                                      missing_page(QStringLiteral("No such board.")).toStdString(),
                                      {}});
        return reply(problem(404, "no such board"));
    }
    const QUrlQuery query(query_text);
    const QString around = query.queryItemValue(QStringLiteral("around"), QUrl::FullyDecoded);
    bool number = false;
    std::int64_t offset = query.queryItemValue(QStringLiteral("offset")).toLongLong(&number);
    if (!number || offset < 0)
        offset = 0;
    offset = std::min(offset, kDeepestOffset);
    int limit = query.queryItemValue(QStringLiteral("limit")).toInt(&number);
    if (!number || limit < 1)
        limit = kPageDefault;
    limit = std::min(limit, kPageMost);

    std::vector<BoardEntry> entries;
    std::int64_t games = 0;
    Store::Result r = around.isEmpty() ? store_.board(category, offset, limit, &entries)
                                       : store_.around(category, around, kAroundEachSide, &entries);
    if (r == Store::Result::Refused && !around.isEmpty())
        return reply(problem(404, "no game of that player on this board"));
    if (r == Store::Result::Done)
        r = store_.count(category, &games);
    if (r == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (r != Store::Result::Done)
        return reply(problem(500, "the database refused"));
    if (page) {
        return reply(HttpResponse{200,
                                  "text/html; charset=utf-8",
                                  board_page(category, entries, games, categories()).toStdString(),
                                  {}});
    }
    QJsonArray list;
    for (const BoardEntry& e : entries)
        list.append(entry_json(e));
    reply(json(200, QJsonObject{{QStringLiteral("category"), category},
                                {QStringLiteral("games"), qint64(games)},
                                {QStringLiteral("entries"), list}}));
}

void World::recording(const QString& id_text, const HttpServer::Reply& reply) {
    bool number = false;
    const qint64 id = id_text.toLongLong(&number);
    QByteArray bytes;
    const Store::Result r =
        number && id > 0 ? store_.recording(id, &bytes) : Store::Result::Refused;
    if (r == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (r != Store::Result::Done)
        return reply(problem(404, "no such game"));
    HttpResponse answer{200, "application/x-grimbolt-recording", bytes.toStdString(), {}};
    answer.headers.emplace_back("Content-Disposition", "attachment; filename=\"grimbolt-" +
                                                           std::to_string(id) + ".script\"");
    reply(std::move(answer));
}

}  // namespace grimbolt::server
