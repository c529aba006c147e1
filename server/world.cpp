#include "server/world.h"

#include <boost/asio/ip/address.hpp>

#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
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

HttpResponse unknown_player() {
    HttpResponse r =
        problem(401, "unknown player", QStringLiteral("send your token as Authorization: Bearer"));
    r.headers.emplace_back("WWW-Authenticate", "Bearer");
    return r;
}

// A page's answer, with headers that keep a browser to what it is: no sniffing, no
// script, no frames.
HttpResponse html(int status, const QString& page) {
    HttpResponse r{status, "text/html; charset=utf-8", page.toStdString(), {}};
    r.headers.emplace_back("X-Content-Type-Options", "nosniff");
    r.headers.emplace_back("Content-Security-Policy",
                           "default-src 'none'; style-src 'unsafe-inline'; frame-ancestors 'none'");
    return r;
}

// A recording as it is proven and kept: its lines as the game reads them, without the
// comments, blank lines, carriage returns and trailing blanks the game skips.
std::string kept_text(const std::string& sent) {
    std::string text;
    text.reserve(sent.size());
    std::size_t at = 0;
    while (at < sent.size()) {
        std::size_t end = sent.find('\n', at);
        if (end == std::string::npos)
            end = sent.size();
        std::string_view line(sent.data() + at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line[first] != '#') {
            text.append(line);
            text.push_back('\n');
        }
        at = end + 1;
    }
    return text;
}

// A recording is kept whole, so it may hold no more lines than play makes: a few a tick
// (the tick, its picture, keys), and room for a player who resized the window a lot.
constexpr std::int64_t kLinesPerTick = 8;
constexpr std::int64_t kLinesBeyondTicks = 4096;

// Whether the kept text has more lines than its ticks account for: padding the rules
// read and ignore, which would cost every download and the disk.
bool padded(const std::string& text, std::int64_t* lines, std::int64_t* ticks) {
    *lines = 0;
    *ticks = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        ++*lines;
        const std::string_view line(text.data() + at, end - at);
        if (line == "tick") {
            ++*ticks;
        } else if (line.starts_with("tick ")) {
            std::int64_t n = 0;
            std::from_chars(line.data() + 5, line.data() + line.size(), n);
            *ticks += std::max<std::int64_t>(n, 0);
        }
        at = end + 1;
    }
    return *lines > kLinesPerTick * *ticks + kLinesBeyondTicks;
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
    // A thread keeps its database connection: it is not ended while idle.
    provers_.setExpiryTimeout(-1);
    desk_.setMaxThreadCount(4);
    desk_.setExpiryTimeout(-1);
    for (const QString& proxy : config.proxies)
        proxies_ << address_key(proxy, false);
}

World::~World() {
    finish();
}

void World::finish() {
    desk_.waitForDone();
    provers_.waitForDone();
    desk_.waitForDone();  // what the proofs asked for meanwhile
}

QStringList World::categories() {
    QStringList names;
    for (const int period : {50, 51})
        for (const bool safe : {false, true})
            for (const bool fair : {false, true})
                names << QString::fromStdString(category_of(period, safe, fair));
    return names;
}

QString World::address_key(const QString& text, bool by_network) {
    namespace ip = boost::asio::ip;
    boost::system::error_code ec;
    ip::address address = ip::make_address(text.trimmed().toStdString(), ec);
    if (ec)
        return text.trimmed().left(64);
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = ip::make_address_v4(ip::v4_mapped, address.to_v6());
    // One IPv6 client has a /64 to itself: it counts as one.
    if (by_network && address.is_v6()) {
        ip::address_v6::bytes_type bytes = address.to_v6().to_bytes();
        std::fill(bytes.begin() + 8, bytes.end(), 0);
        return QString::fromStdString(ip::address_v6(bytes).to_string()) + QStringLiteral("/64");
    }
    return QString::fromStdString(address.to_string());
}

std::string World::client_of(const HttpRequest& request) const {
    const QString peer = address_key(QString::fromStdString(request.peer), false);
    if (!proxies_.contains(peer))
        return address_key(peer, true).toStdString();
    // The last address a proxy of ours added is the one that reached it.
    const QStringList chain =
        QString::fromStdString(request.header("X-Forwarded-For")).split(QLatin1Char(','));
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const QString address = address_key(*it, false);
        if (!address.isEmpty() && !proxies_.contains(address))
            return address_key(address, true).toStdString();
    }
    return peer.toStdString();
}

void World::know_token(const QByteArray& hash) {
    const std::lock_guard lock(tokens_lock_);
    if (known_tokens_.size() >= 200'000)
        known_tokens_.clear();  // a bound: the players come back as they send again
    known_tokens_.insert(hash.toStdString());
}

bool World::within_rate(const std::string& client, bool upload) {
    const std::int64_t now = this_minute();
    const std::lock_guard lock(rate_lock_);
    if (now != rates_minute_) {
        rates_.clear();
        std::fill(sketch_.begin(), sketch_.end(), Minute{});
        rates_minute_ = now;
    }
    auto it = rates_.find(client);
    if (it == rates_.end() && rates_.size() < std::size_t(config_.clients_counted))
        it = rates_.emplace(client, Minute{}).first;
    if (it == rates_.end()) {
        const Minute m = sketched(client, upload);
        return m.requests <= config_.per_minute &&
               (!upload || m.uploads <= config_.uploads_per_minute);
    }
    Minute& m = it->second;
    if (++m.requests > config_.per_minute)
        return false;
    return !upload || ++m.uploads <= config_.uploads_per_minute;
}

World::Minute World::sketched(const std::string& client, bool upload) {
    constexpr std::size_t kRows = 4;
    constexpr std::size_t kWidth = 1 << 16;
    if (sketch_.empty())
        sketch_.resize(kRows * kWidth);
    // Counts a client's request in each row, and gives the least of its counts: more
    // than the client's own only when every one of its four is shared.
    Minute least{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    const std::size_t h = std::hash<std::string>{}(client);
    for (std::size_t row = 0; row < kRows; ++row) {
        std::uint64_t x = h + 0x9E3779B97F4A7C15ULL * (row + 1);
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        Minute& m = sketch_[row * kWidth + std::size_t(x ^ (x >> 31)) % kWidth];
        least.requests = std::min(least.requests, ++m.requests);
        if (upload)
            least.uploads = std::min(least.uploads, ++m.uploads);
    }
    if (!upload)
        least.uploads = 0;
    return least;
}

namespace {

struct Route {
    QString path;  // percent-decoded
    QString query;
    bool get = false;
    bool post = false;
};

Route route_of(const HttpRequest& request) {
    std::string target = request.target;
    // A target in absolute form, as a proxy is sent it: its path is what is asked for.
    if (const std::size_t scheme = target.find("://");
        scheme != std::string::npos && scheme < target.find('/')) {
        const std::size_t path = target.find_first_of("/?", scheme + 3);
        target = path == std::string::npos ? "/"
                 : target[path] == '?'     ? "/" + target.substr(path)
                                           : target.substr(path);
    }
    const std::size_t mark = target.find('?');
    Route r;
    r.path = QUrl::fromPercentEncoding(QByteArray::fromStdString(target.substr(0, mark)));
    r.query =
        mark == std::string::npos ? QString() : QString::fromStdString(target.substr(mark + 1));
    r.get = request.method == "GET";
    r.post = request.method == "POST";
    return r;
}

// The token of "Authorization: Bearer <64 hex digits>"; empty when there is none.
QByteArray bearer_of(const HttpRequest& request) {
    const QByteArray value = QByteArray::fromStdString(request.header("Authorization")).trimmed();
    const QByteArray scheme("bearer ");
    if (value.size() != scheme.size() + 64 || value.left(scheme.size()).toLower() != scheme)
        return {};
    const QByteArray token = value.mid(scheme.size());
    for (const char c : token) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return {};
    }
    return token.toLower();
}

constexpr std::size_t kNameBodyMost = 4096;
constexpr int kDeskQueue = 256;

}  // namespace

std::optional<HttpResponse> World::admit(const HttpRequest& head, std::size_t& body_limit,
                                         std::shared_ptr<void>& hold) {
    const Route r = route_of(head);
    if (r.path == QLatin1String("/healthz"))
        return std::nullopt;  // the operator's own: never counted
    if (!within_rate(client_of(head), r.post)) {
        HttpResponse answer = problem(429, "too many requests");
        answer.headers.emplace_back("Retry-After", "60");
        return answer;
    }
    if (r.post && r.path == QLatin1String("/api/v1/games")) {
        // Who sends it is known before its body is read: no stranger's megabytes are taken.
        const QByteArray token = bearer_of(head);
        if (token.isEmpty())
            return unknown_player();
        {
            const std::lock_guard lock(tokens_lock_);
            if (known_tokens_.contains(token_hash(token).toStdString()))
                return std::nullopt;
        }
        // A token not seen yet: its body is read within the newcomers' share.
        const std::size_t length =
            std::strtoull(head.header("Content-Length").c_str(), nullptr, 10);
        const std::size_t share = config_.http.bodies_bytes / 4;
        std::size_t now = strangers_bytes_->load();
        do {
            if (now + length > share) {
                HttpResponse busy = problem(503, "too many uploads at once");
                busy.headers.emplace_back("Retry-After", "5");
                return busy;
            }
        } while (!strangers_bytes_->compare_exchange_weak(now, now + length));
        struct Share {
            std::shared_ptr<std::atomic<std::size_t>> bytes;
            std::size_t length;
            ~Share() { *bytes -= length; }
        };
        hold = std::make_shared<Share>(strangers_bytes_, length);
        return std::nullopt;
    }
    // Only a name claim and an upload have a body: any other is refused at its head, so
    // that no connection sits waiting for a body nobody reads.
    body_limit = std::min(body_limit,
                          r.post && r.path == QLatin1String("/api/v1/players") ? kNameBodyMost : 0);
    return std::nullopt;
}

void World::handle(HttpRequest request, HttpServer::Reply reply) {
    const std::string client = client_of(request);
    QElapsedTimer clock;
    clock.start();
    const QString line = QStringLiteral("%1 %2 from %3")
                             .arg(printable(QString::fromStdString(request.method.substr(0, 16))),
                                  printable(QString::fromStdString(request.target.substr(0, 200))),
                                  printable(QString::fromStdString(client)));
    // Every answer is told in one line.
    HttpServer::Reply answer = [this, reply, line, clock](HttpResponse r) {
        log_(QStringLiteral("%1: %2 in %3 ms")
                 .arg(line, QString::number(r.status), QString::number(clock.elapsed())));
        reply(std::move(r));
    };
    if (!request.admitted) {
        std::size_t limit = config_.http.body_bytes;
        std::shared_ptr<void> hold;  // the body is here already
        if (std::optional<HttpResponse> refused = admit(request, limit, hold))
            return answer(std::move(*refused));
        if (request.body.size() > limit)
            return answer(problem(413, "too large"));
    }
    // The database is asked on threads of its own: a slow one never holds the threads
    // that read requests.
    if (desk_waiting_.fetch_add(1) >= kDeskQueue) {
        --desk_waiting_;
        return answer(unavailable("too busy", 5));
    }
    auto shared = std::make_shared<HttpRequest>(std::move(request));
    desk_.start([this, shared, answer] {
        route(std::move(*shared), answer);
        --desk_waiting_;
    });
}

void World::route(HttpRequest request, const HttpServer::Reply& answer) {
    const Route r = route_of(request);
    const QString& path = r.path;
    const QString& query = r.query;
    const bool get = r.get;
    const bool post = r.post;
    if (path == QLatin1String("/healthz") && get) {
        if (store_.reachable())
            return answer(HttpResponse{200, "text/plain; charset=utf-8", "ok\n", {}});
        return answer(unavailable("the database is away", 5));
    }
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
    const bool api =
        path == QLatin1String("/api/v1/players") || path == QLatin1String("/api/v1/games") ||
        path.startsWith(QLatin1String("/api/v1/games/")) ||
        path.startsWith(QLatin1String("/api/v1/boards/")) || path == QLatin1String("/healthz");
    const bool page = path == QLatin1String("/") || path.startsWith(QLatin1String("/boards/"));
    if (api)
        return answer(problem(405, "method not allowed"));
    if (page)
        return answer(html(405, missing_page(QStringLiteral("Pages are only read here."))));
    if (path.startsWith(QLatin1String("/api/")))
        return answer(problem(404, "no such request"));
    answer(html(404, missing_page(QStringLiteral("No page here."))));
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
            know_token(token_hash(token));
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

HttpResponse World::enough_today() const {
    HttpResponse r = problem(
        429, "enough games today",
        QStringLiteral("%1 games a day are kept for each player").arg(config_.games_per_day));
    r.headers.emplace_back("Retry-After", "3600");
    return r;
}

void World::submit(HttpRequest request, HttpServer::Reply reply) {
    const QByteArray token = bearer_of(request);
    std::int64_t player = 0;
    QString name;
    const Store::Result who = token.isEmpty() ? Store::Result::Refused
                                              : store_.player_of(token_hash(token), &player, &name);
    if (who == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (who != Store::Result::Done)
        return reply(unknown_player());
    know_token(token_hash(token));
    // One player's games are a day's worth at most: a board is not flooded by one
    // player's many stops of one game.
    std::int64_t today = 0;
    const Store::Result counted = store_.kept_today(player, &today);
    if (counted == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (today >= config_.games_per_day)
        return reply(enough_today());
    // The queue is bounded: beyond it the sender is asked to come back.
    if (proving_.fetch_add(1) >= config_.queue + provers_.maxThreadCount()) {
        --proving_;
        return reply(unavailable("too many recordings wait to be proven", 10));
    }
    auto shared = std::make_shared<HttpRequest>(std::move(request));
    provers_.start([this, shared, player, name, reply] {
        prove(*shared, player, name, reply);
        --proving_;
    });
}

void World::prove(const HttpRequest& request, std::int64_t player, const QString& sender,
                  const HttpServer::Reply& reply) {
    // What is proven is what is kept: the lines the game reads.
    const std::string text = kept_text(request.body);
    std::int64_t lines = 0;
    std::int64_t ticks = 0;
    if (padded(text, &lines, &ticks))
        return reply(
            problem(422, "too long",
                    QStringLiteral("%1 lines for %2 ticks of play").arg(lines).arg(ticks)));
    const Verdict v = verify(text);
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
    game.recording = QByteArray::fromStdString(text);
    // A game is its play: the same play re-dated, re-commented or sent with other line
    // ends is the same game, and stays its first sender's.
    game.digest = QByteArray::number(qulonglong(v.fingerprint), 16).rightJustified(16, '0');
    game.category = category;
    game.score = v.replayed;
    game.earned = v.earned;
    game.ticks = v.ticks;
    game.seconds = v.seconds;
    game.played = QString::fromStdString(v.date);
    // Kept on the desk's threads: a prover goes on proving while the database writes.
    ++desk_waiting_;
    desk_.start([this, game = std::move(game), player, sender, reply] {
        keep(game, player, sender, reply);
        --desk_waiting_;
    });
}

void World::keep(const ProvenGame& game, std::int64_t player, const QString& sender,
                 const HttpServer::Reply& reply) {
    BoardEntry entry;
    switch (store_.add(player, game, &entry, config_.games_per_day)) {
        case Store::Result::Enough:
            return reply(enough_today());
        case Store::Result::Done:
            log_(QStringLiteral("proven and kept game %1: %2 points, rank %3 in %4")
                     .arg(entry.id)
                     .arg(entry.earned)
                     .arg(entry.rank)
                     .arg(game.category));
            return reply(json(201, entry_json(entry)));
        case Store::Result::Exists:
            if (folded(entry.name) != folded(sender))
                return reply(
                    problem(409, "someone else's game",
                            QStringLiteral("this play is kept already, as %1's").arg(entry.name)));
            return reply(json(200, entry_json(entry)));
        case Store::Result::Down:
            return reply(unavailable("the database is away", 5));
        case Store::Result::Refused:
            break;
    }
    // Proven but not kept (a full disk, say): the sender may try again later.
    reply(unavailable("the game could not be kept now", 60));
}

void World::board(const QString& category, const QString& query_text, bool page,
                  const HttpServer::Reply& reply) {
    if (!categories().contains(category)) {
        if (page)
            return reply(html(404, missing_page(QStringLiteral("No such board."))));
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

    // A page's troubles are told as a page, the API's as JSON.
    const auto trouble = [&](HttpResponse r, const QString& words) {
        if (page) {
            HttpResponse shown = html(r.status, missing_page(words));
            shown.headers.insert(shown.headers.end(), r.headers.begin(), r.headers.end());
            return reply(shown);
        }
        reply(r);
    };
    std::vector<BoardEntry> entries;
    std::int64_t games = 0;
    Store::Result r = around.isEmpty() ? store_.board(category, offset, limit, &entries)
                                       : store_.around(category, around, kAroundEachSide, &entries);
    if (r == Store::Result::Refused && !around.isEmpty())
        return trouble(problem(404, "no game of that player on this board"),
                       QStringLiteral("No game of that player on this board."));
    if (r == Store::Result::Done)
        r = store_.count(category, &games);
    if (r == Store::Result::Down)
        return trouble(unavailable("the database is away", 5),
                       QStringLiteral("The board is away for a moment. Try again shortly."));
    if (r != Store::Result::Done)
        return trouble(problem(500, "the database refused"),
                       QStringLiteral("The board could not be read."));
    if (page) {
        return reply(html(200, board_page(category, entries, games, categories())));
    }
    QJsonArray list;
    for (const BoardEntry& e : entries)
        list.append(entry_json(e));
    reply(json(200, QJsonObject{{QStringLiteral("category"), category},
                                {QStringLiteral("games"), qint64(games)},
                                {QStringLiteral("entries"), list}}));
}

void World::recording(const QString& id_text, const HttpServer::Reply& reply) {
    bool number = !id_text.isEmpty() && id_text.size() <= 18 &&
                  std::all_of(id_text.begin(), id_text.end(), [](QChar c) {
                      return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                  });
    const qint64 id = number ? id_text.toLongLong(&number) : 0;
    QByteArray bytes;
    const Store::Result r =
        number && id > 0 ? store_.recording(id, &bytes) : Store::Result::Refused;
    if (r == Store::Result::Down)
        return reply(unavailable("the database is away", 5));
    if (r != Store::Result::Done)
        return reply(problem(404, "no such game"));
    HttpResponse answer{200, "application/x-grimbolt-recording", bytes.toStdString(), {}};
    answer.headers.emplace_back("Content-Disposition", "attachment; filename=\"grimbolt-" +
                                                           std::to_string(id) + ".grimbolt\"");
    reply(std::move(answer));
}

}  // namespace grimbolt::server
