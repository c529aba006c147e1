#include "server/store.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>

#include "server/players.h"

namespace grimbolt::server {
namespace {

// The schema, one migration a step; %ID% and %BLOB% are each database's own words.
const char* const kMigrations[][6] = {
    {
        "CREATE TABLE players (id %ID%, name TEXT NOT NULL, folded TEXT NOT NULL UNIQUE, "
        "token_hash TEXT NOT NULL UNIQUE, created TEXT NOT NULL)",
        "CREATE TABLE games (id %ID%, player_id BIGINT NOT NULL REFERENCES players (id), "
        "digest TEXT NOT NULL UNIQUE, category TEXT NOT NULL, score INTEGER NOT NULL, "
        "earned INTEGER NOT NULL, ticks INTEGER NOT NULL, seconds INTEGER NOT NULL, "
        "played TEXT NOT NULL, received TEXT NOT NULL)",
        "CREATE TABLE recordings (game_id BIGINT PRIMARY KEY REFERENCES games (id), "
        "bytes %BLOB% NOT NULL)",
        // A board reads its best games in order, and a rank counts those above one.
        "CREATE INDEX games_board ON games (category, earned DESC, id)",
    },
    {
        // How many games of a board have each number of points: a rank, a board's size
        // and a deep page are found from these few rows, not by counting a million games.
        "CREATE TABLE score_counts (category TEXT NOT NULL, earned INTEGER NOT NULL, "
        "games BIGINT NOT NULL, PRIMARY KEY (category, earned))",
        "INSERT INTO score_counts (category, earned, games) "
        "SELECT category, earned, COUNT(*) FROM games GROUP BY category, earned",
        // A player's best game on a board, for the entries around it.
        "CREATE INDEX games_player ON games (player_id, category, earned DESC, id)",
    },
    {
        // Each game's place among those with as many points, counted as they are kept: a
        // rank and a page deep among a million equal scores are found in the index, not
        // by counting the games before them.
        "ALTER TABLE games ADD COLUMN place BIGINT",
        "UPDATE games SET place = ranked.place FROM (SELECT id, ROW_NUMBER() OVER "
        "(PARTITION BY category, earned ORDER BY id) - 1 AS place FROM games) AS ranked "
        "WHERE games.id = ranked.id",
        "CREATE UNIQUE INDEX games_place ON games (category, earned DESC, place)",
        "DROP INDEX games_board",
        // A player's best game in the same order, so no planner walks the board for it.
        "DROP INDEX games_player",
        "CREATE INDEX games_player ON games (player_id, category, earned DESC, place)",
    },
};
constexpr int kMigrationCount = int(std::size(kMigrations));

std::atomic<int> stores{0};

QString in_dialect(QString sql, bool postgres) {
    sql.replace(QLatin1String("%ID%"), postgres ? QLatin1String("BIGSERIAL PRIMARY KEY")
                                                : QLatin1String("INTEGER PRIMARY KEY"));
    sql.replace(QLatin1String("%BLOB%"), postgres ? QLatin1String("BYTEA") : QLatin1String("BLOB"));
    return sql;
}

const char* const kEntryColumns =
    "g.id, p.name, g.category, g.score, g.earned, g.ticks, g.seconds, g.played, g.place";

BoardEntry entry_of(const QSqlQuery& q, std::int64_t rank) {
    BoardEntry e;
    e.id = q.value(0).toLongLong();
    e.name = q.value(1).toString();
    e.category = q.value(2).toString();
    e.score = q.value(3).toInt();
    e.earned = q.value(4).toInt();
    e.ticks = q.value(5).toInt();
    e.seconds = q.value(6).toInt();
    e.played = q.value(7).toString();
    e.rank = rank;
    return e;
}

}  // namespace

Store::Store(QString database)
    : database_(std::move(database)),
      postgres_(database_.startsWith(QLatin1String("postgresql://")) ||
                database_.startsWith(QLatin1String("postgres://"))),
      name_(QStringLiteral("grimbolt-store-%1-").arg(stores.fetch_add(1))) {}

Store::~Store() {
    for (const QString& name : QSqlDatabase::connectionNames()) {
        if (name.startsWith(name_))
            QSqlDatabase::removeDatabase(name);  // closes it
    }
}

QSqlDatabase Store::db() {
    const QString name = name_ + QString::number(quintptr(QThread::currentThreadId()));
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid()) {
        if (postgres_) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            const QUrl url(database_);
            db.setDatabaseName(url.path().mid(1));
            db.setUserName(url.userName());
            db.setPassword(url.password());
            if (url.port() > 0)
                db.setPort(url.port());
            // A host given as ?host=/folder is a Unix socket's, as libpq reads it.
            const QString host =
                QUrlQuery(url).queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
            db.setHostName(host.isEmpty() ? url.host() : host);
            db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(database_);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        }
    }
    if (!db.isOpen() && db.open() && !postgres_) {
        // Every answered write is on the disk: a killed server keeps what it said it kept.
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        q.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    }
    return db;
}

Store::Result Store::failed(QSqlDatabase& db, const QSqlQuery& query, bool expected) {
    if (db.isOpen()) {
        QSqlQuery alive(db);
        if (alive.exec(QStringLiteral("SELECT 1")) && alive.next()) {
            if (!expected)
                std::fprintf(stderr, "grimbolt-server: the database refused: %s\n",
                             qPrintable(query.lastError().text()));
            return Result::Refused;
        }
    }
    db.close();
    return Result::Down;
}

bool Store::open(QString* why) {
    QSqlDatabase d = db();
    if (!d.isOpen()) {
        *why = d.lastError().text();
        return false;
    }
    QSqlQuery q(d);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_migrations "
                               "(version INTEGER PRIMARY KEY)"))) {
        *why = q.lastError().text();
        return false;
    }
    for (int version = 1; version <= kMigrationCount; ++version) {
        // Two servers starting at once: the one whose row goes in first applies it; the
        // other's insert waits for it and finds the row there.
        if (!d.transaction()) {
            *why = d.lastError().text();
            return false;
        }
        QSqlQuery mark(d);
        mark.prepare(QStringLiteral("INSERT INTO schema_migrations (version) VALUES (?)"));
        mark.addBindValue(version);
        if (!mark.exec()) {
            d.rollback();
            QSqlQuery known(d);
            known.prepare(QStringLiteral("SELECT 1 FROM schema_migrations WHERE version = ?"));
            known.addBindValue(version);
            if (known.exec() && known.next())
                continue;
            *why = mark.lastError().text();
            return false;
        }
        for (const char* step : kMigrations[version - 1]) {
            if (step == nullptr)
                continue;
            QSqlQuery change(d);
            if (!change.exec(in_dialect(QString::fromLatin1(step), postgres_))) {
                *why = change.lastError().text();
                d.rollback();
                return false;
            }
        }
        if (!d.commit()) {
            *why = d.lastError().text();
            return false;
        }
    }
    // A database changed by a newer server is not one this server can read.
    QSqlQuery newest(d);
    if (newest.exec(QStringLiteral("SELECT MAX(version) FROM schema_migrations")) &&
        newest.next() && newest.value(0).toInt() > kMigrationCount) {
        *why = QStringLiteral("the database has schema version %1, this server knows up to %2")
                   .arg(newest.value(0).toInt())
                   .arg(kMigrationCount);
        return false;
    }
    return true;
}

bool Store::reachable() {
    QSqlDatabase d = db();
    QSqlQuery q(d);
    if (d.isOpen() && q.exec(QStringLiteral("SELECT 1")) && q.next())
        return true;
    d.close();
    return false;
}

Store::Result Store::claim(const QString& name, const QByteArray& hash) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    QSqlQuery q(d);
    q.prepare(
        QStringLiteral("INSERT INTO players (name, folded, token_hash, created) "
                       "VALUES (?, ?, ?, ?)"));
    q.addBindValue(name);
    q.addBindValue(folded(name));
    q.addBindValue(QString::fromLatin1(hash));
    q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    if (q.exec())
        return Result::Done;
    if (const Result r = failed(d, q, true); r == Result::Down)
        return r;
    // The insert broke the names' uniqueness: the name is someone's.
    QSqlQuery taken(d);
    taken.prepare(QStringLiteral("SELECT 1 FROM players WHERE folded = ?"));
    taken.addBindValue(folded(name));
    if (!taken.exec())
        return failed(d, taken);
    return taken.next() ? Result::Exists : Result::Refused;
}

Store::Result Store::player_of(const QByteArray& hash, std::int64_t* id, QString* name) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    QSqlQuery q(d);
    q.prepare(QStringLiteral("SELECT id, name FROM players WHERE token_hash = ?"));
    q.addBindValue(QString::fromLatin1(hash));
    if (!q.exec())
        return failed(d, q);
    if (!q.next())
        return Result::Refused;
    *id = q.value(0).toLongLong();
    *name = q.value(1).toString();
    return Result::Done;
}

namespace {

// The rank of a game on its board: one more than the games above it (more points, or
// as many and kept before it).
std::optional<std::int64_t> rank_of(QSqlDatabase& d, const QString& category, std::int32_t earned,
                                    std::int64_t place, QSqlQuery& q) {
    q = QSqlQuery(d);
    q.prepare(
        QStringLiteral("SELECT COALESCE(SUM(games), 0) FROM score_counts WHERE "
                       "category = ? AND earned > ?"));
    q.addBindValue(category);
    q.addBindValue(earned);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong() + place + 1;
}

}  // namespace

namespace {

// How many games a player had kept in the last day; false when the database said no.
bool count_today(QSqlDatabase& d, std::int64_t player, QSqlQuery& q) {
    q = QSqlQuery(d);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM games WHERE player_id = ? AND received > ?"));
    q.addBindValue(qint64(player));
    q.addBindValue(QDateTime::currentDateTimeUtc().addDays(-1).toString(Qt::ISODate));
    return q.exec() && q.next();
}

// The id of the game with this play, when one is kept.
std::optional<std::int64_t> kept_play(QSqlDatabase& d, const QByteArray& digest, QSqlQuery& q) {
    q = QSqlQuery(d);
    q.prepare(QStringLiteral("SELECT id FROM games WHERE digest = ?"));
    q.addBindValue(QString::fromLatin1(digest));
    if (!q.exec())
        return std::nullopt;
    return q.next() ? q.value(0).toLongLong() : 0;
}

}  // namespace

Store::Result Store::add(std::int64_t player, const ProvenGame& game, BoardEntry* entry,
                         std::int64_t most_a_day) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    std::int64_t id = 0;
    Result result = insert(d, player, game, most_a_day, &id);
    if (result == Result::Exists || result == Result::Enough) {
        // The same play kept already, whoever sent it, is answered as kept.
        QSqlQuery there;
        const auto kept = kept_play(d, game.digest, there);
        if (!kept)
            return failed(d, there);
        if (*kept == 0)
            return result == Result::Enough ? result : Result::Refused;
        id = *kept;
        result = Result::Exists;
    } else if (result != Result::Done) {
        return result;
    }
    QSqlQuery e(d);
    e.prepare(QStringLiteral("SELECT %1 FROM games g JOIN players p ON p.id = g.player_id "
                             "WHERE g.id = ?")
                  .arg(QLatin1String(kEntryColumns)));
    e.addBindValue(qint64(id));
    if (!e.exec() || !e.next())
        return failed(d, e);
    *entry = entry_of(e, 0);
    QSqlQuery r;
    const auto rank = rank_of(d, entry->category, entry->earned, e.value(8).toLongLong(), r);
    if (!rank)
        return failed(d, r);
    entry->rank = *rank;
    return result;
}

Store::Result Store::insert(QSqlDatabase& d, std::int64_t player, const ProvenGame& game,
                            std::int64_t most_a_day, std::int64_t* id) {
    if (!d.transaction()) {
        QSqlQuery none(d);
        return failed(d, none);
    }
    const auto undone = [&](const QSqlQuery& q, bool expected = false) {
        d.rollback();
        return failed(d, q, expected);
    };
    // The player's row is locked first: one player's games sent at once are counted
    // against the day's quota one after the other.
    QSqlQuery mine(d);
    mine.prepare(QStringLiteral("UPDATE players SET created = created WHERE id = ?"));
    mine.addBindValue(qint64(player));
    if (!mine.exec())
        return undone(mine);
    QSqlQuery today;
    if (!count_today(d, player, today))
        return undone(today);
    if (today.value(0).toLongLong() >= most_a_day) {
        today.finish();
        d.rollback();
        return Result::Enough;
    }
    today.finish();
    // The count of games with these points next: its row is locked until the commit,
    // so two servers keeping equal scores at once give them places one after the other.
    QSqlQuery counted(d);
    counted.prepare(QStringLiteral(
        "INSERT INTO score_counts (category, earned, games) VALUES (?, ?, 1) "
        "ON CONFLICT (category, earned) DO UPDATE SET games = score_counts.games + 1 "
        "RETURNING games"));
    counted.addBindValue(game.category);
    counted.addBindValue(game.earned);
    if (!counted.exec() || !counted.next())
        return undone(counted);
    const std::int64_t place = counted.value(0).toLongLong() - 1;
    counted.finish();  // SQLite commits nothing while a statement is still being read
    QSqlQuery q(d);
    q.prepare(QStringLiteral(
        "INSERT INTO games (player_id, digest, category, score, earned, ticks, seconds, played, "
        "received, place) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    q.addBindValue(qint64(player));
    q.addBindValue(QString::fromLatin1(game.digest));
    q.addBindValue(game.category);
    q.addBindValue(game.score);
    q.addBindValue(game.earned);
    q.addBindValue(game.ticks);
    q.addBindValue(game.seconds);
    q.addBindValue(game.played.isNull() ? QStringLiteral("") : game.played);  // never NULL
    q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    q.addBindValue(qint64(place));
    if (!q.exec() || !q.next()) {
        // The same play is kept already: the digest is unique.
        const Result r = undone(q, true);
        return r == Result::Down ? r : Result::Exists;
    }
    *id = q.value(0).toLongLong();
    q.finish();
    QSqlQuery bytes(d);
    bytes.prepare(QStringLiteral("INSERT INTO recordings (game_id, bytes) VALUES (?, ?)"));
    bytes.addBindValue(qint64(*id));
    bytes.addBindValue(game.recording);
    if (!bytes.exec())
        return undone(bytes);
    if (!d.commit()) {
        const QString why = d.lastError().text();
        d.rollback();
        QSqlQuery none(d);
        const Result r = failed(d, none, true);
        if (r != Result::Down)
            std::fprintf(stderr, "grimbolt-server: the database kept no game: %s\n",
                         qPrintable(why));
        return r;
    }
    return Result::Done;
}

Store::Result Store::board(const QString& category, std::int64_t offset, int limit,
                           std::vector<BoardEntry>* page) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    page->clear();
    // Where the page begins: the points of its first game, and how many games with as
    // many points come before it.
    std::int32_t points = std::numeric_limits<std::int32_t>::max();
    std::int64_t skip = 0;
    bool within = false;  // the page begins among the games with `points`
    if (offset > 0) {
        QSqlQuery counts(d);
        counts.setForwardOnly(true);
        counts.prepare(
            QStringLiteral("SELECT earned, games FROM score_counts WHERE category = ? "
                           "ORDER BY earned DESC"));
        counts.addBindValue(category);
        if (!counts.exec())
            return failed(d, counts);
        std::int64_t before = 0;
        while (counts.next()) {
            const std::int64_t games = counts.value(1).toLongLong();
            if (before + games > offset) {
                points = counts.value(0).toInt();
                skip = offset - before;
                within = true;
                break;
            }
            before += games;
        }
        if (!within)
            return Result::Done;  // past the board's end
    }
    const QString select = QStringLiteral(
                               "SELECT %1 FROM games g JOIN players p ON p.id = "
                               "g.player_id WHERE g.category = ? AND ")
                               .arg(QLatin1String(kEntryColumns));
    if (within) {
        QSqlQuery same(d);
        same.setForwardOnly(true);
        same.prepare(select +
                     QStringLiteral("g.earned = ? AND g.place >= ? ORDER BY g.place LIMIT ?"));
        same.addBindValue(category);
        same.addBindValue(points);
        same.addBindValue(qint64(skip));
        same.addBindValue(limit);
        if (!same.exec())
            return failed(d, same);
        while (same.next())
            page->push_back(entry_of(same, offset + std::int64_t(page->size()) + 1));
    }
    if (int(page->size()) < limit) {
        QSqlQuery below(d);
        below.setForwardOnly(true);
        below.prepare(
            select + (within ? QStringLiteral("g.earned < ? ") : QStringLiteral("g.earned <= ? ")) +
            QStringLiteral("ORDER BY g.earned DESC, g.place LIMIT ?"));
        below.addBindValue(category);
        below.addBindValue(points);
        below.addBindValue(limit - int(page->size()));
        if (!below.exec())
            return failed(d, below);
        while (below.next())
            page->push_back(entry_of(below, offset + std::int64_t(page->size()) + 1));
    }
    return Result::Done;
}

Store::Result Store::around(const QString& category, const QString& name, int each_side,
                            std::vector<BoardEntry>* page) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    // The player first, then their best game: asked as one join, a planner may walk the
    // whole board in order looking for them.
    QSqlQuery who(d);
    who.prepare(QStringLiteral("SELECT id FROM players WHERE folded = ?"));
    who.addBindValue(folded(name));
    if (!who.exec())
        return failed(d, who);
    if (!who.next())
        return Result::Refused;
    QSqlQuery best(d);
    best.prepare(
        QStringLiteral("SELECT place, earned FROM games WHERE player_id = ? AND "
                       "category = ? ORDER BY earned DESC, place LIMIT 1"));
    best.addBindValue(who.value(0).toLongLong());
    best.addBindValue(category);
    if (!best.exec())
        return failed(d, best);
    if (!best.next())
        return Result::Refused;
    QSqlQuery r;
    const auto rank = rank_of(d, category, best.value(1).toInt(), best.value(0).toLongLong(), r);
    if (!rank)
        return failed(d, r);
    return board(category, std::max<std::int64_t>(0, *rank - 1 - each_side), 2 * each_side + 1,
                 page);
}

Store::Result Store::recording(std::int64_t id, QByteArray* bytes) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    QSqlQuery q(d);
    q.prepare(QStringLiteral("SELECT bytes FROM recordings WHERE game_id = ?"));
    q.addBindValue(qint64(id));
    if (!q.exec())
        return failed(d, q);
    if (!q.next())
        return Result::Refused;
    *bytes = q.value(0).toByteArray();
    return Result::Done;
}

Store::Result Store::count(const QString& category, std::int64_t* games) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    QSqlQuery q(d);
    q.prepare(
        QStringLiteral("SELECT COALESCE(SUM(games), 0) FROM score_counts WHERE category = ?"));
    q.addBindValue(category);
    if (!q.exec() || !q.next())
        return failed(d, q);
    *games = q.value(0).toLongLong();
    return Result::Done;
}

Store::Result Store::kept_today(std::int64_t player, std::int64_t* games) {
    QSqlDatabase d = db();
    if (!d.isOpen())
        return Result::Down;
    QSqlQuery q;
    if (!count_today(d, player, q))
        return failed(d, q);
    *games = q.value(0).toLongLong();
    return Result::Done;
}

bool Store::execute(const QString& statement) {
    QSqlDatabase d = db();
    QSqlQuery q(d);
    return d.isOpen() && q.exec(statement);
}

}  // namespace grimbolt::server
