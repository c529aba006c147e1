#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <future>
#include <set>
#include <string>

#include "fuzz/fuzz_server.h"
#include "replay/proof.h"
#include "replay/recorded.h"
#include "server/players.h"
#include "server/store.h"
#include "server/variants.h"
#include "server/world.h"

namespace grimbolt::server {
namespace {

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

QJsonObject object_of(const HttpResponse& r) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.body)).object();
}

// Limits no test reaches but the one that tries them.
ServerConfig roomy() {
    ServerConfig c;
    c.per_minute = 10000;
    c.uploads_per_minute = 10000;
    c.games_per_day = 10000;
    return c;
}

// Empties the PostgreSQL database the full run names, for a test to begin on.
void empty_postgres(const QString& url) {
    Store store(url);
    QString why;
    ASSERT_TRUE(store.open(&why)) << why.toStdString();
    const char* const tables[] = {"score_counts", "recordings", "games", "players",
                                  "schema_migrations"};
    for (const char* table : tables)
        ASSERT_TRUE(store.execute(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table))));
}

// A world on a database of its own, asked as the HTTP server asks it: SQLite, or the
// PostgreSQL that $GRIMBOLT_TEST_DATABASE names (the full run starts one).
struct Rig {
    QTemporaryDir dir;
    ServerConfig config;
    std::unique_ptr<Store> store;
    std::unique_ptr<World> world;

    explicit Rig(ServerConfig c = roomy()) : config(std::move(c)) {
        config.data = dir.path();
        config.database = qEnvironmentVariable("GRIMBOLT_TEST_DATABASE");
        if (!config.database.isEmpty())
            empty_postgres(config.database);
        store = std::make_unique<Store>(config.store());
        QString why;
        EXPECT_TRUE(store->open(&why)) << why.toStdString();
        world = std::make_unique<World>(config, *store, [](const QString&) {});
    }
    std::future<HttpResponse> send(const std::string& method, const std::string& target,
                                   const std::string& body = {},
                                   std::vector<std::pair<std::string, std::string>> headers = {},
                                   const std::string& peer = "127.0.0.1") {
        auto answer = std::make_shared<std::promise<HttpResponse>>();
        std::future<HttpResponse> later = answer->get_future();
        world->handle(HttpRequest{method, target, body, peer, std::move(headers)},
                      [answer](HttpResponse r) { answer->set_value(std::move(r)); });
        return later;
    }
    HttpResponse ask(const std::string& method, const std::string& target,
                     const std::string& body = {},
                     std::vector<std::pair<std::string, std::string>> headers = {}) {
        return send(method, target, body, std::move(headers)).get();
    }
    std::string join(const QString& name) {
        const HttpResponse r =
            ask("POST", "/api/v1/players",
                QJsonDocument(QJsonObject{{"name", name}}).toJson().toStdString());
        EXPECT_EQ(r.status, 201) << r.body;
        return object_of(r).value("token").toString().toStdString();
    }
    HttpResponse upload(const std::string& token, const std::string& recording,
                        const std::string& target = "/api/v1/games") {
        return ask("POST", target, recording, {{"Authorization", "Bearer " + token}});
    }
};

TEST(World, APlayerJoinsSendsAGameAndFindsItProvenOnTheBoards) {
    Rig rig;
    const std::string token = rig.join(QStringLiteral("Ann<script>x</script>"));
    EXPECT_EQ(token.size(), 64u);
    // The name is the player's whatever its case; a name with SQL in it is just a name.
    const auto claim = [&](const QString& name) {
        return rig
            .ask("POST", "/api/v1/players",
                 QJsonDocument(QJsonObject{{"name", name}}).toJson().toStdString())
            .status;
    };
    EXPECT_EQ(claim(QStringLiteral("ANN<SCRIPT>X</SCRIPT>")), 409);
    EXPECT_EQ(claim(QStringLiteral("x'); DROP TABLE games;--")), 201);
    EXPECT_EQ(rig.ask("POST", "/api/v1/players", "{\"name\": 5}").status, 400);

    const std::string game = recorded_game();
    EXPECT_EQ(rig.upload("", game).status, 401);
    EXPECT_EQ(rig.upload(std::string(64, 'a'), game).status, 401);
    const HttpResponse kept = rig.upload(token, game);
    ASSERT_EQ(kept.status, 201) << kept.body;
    const QJsonObject entry = object_of(kept);
    EXPECT_EQ(entry.value("rank").toInt(), 1);
    EXPECT_EQ(entry.value("earned").toInt(), 1000);
    EXPECT_EQ(entry.value("category").toString(), "slow");
    // Sent again: the same entry, once. The same play re-dated, commented, with other
    // line ends, by someone else: still the first sender's.
    const HttpResponse again = rig.upload(token, game);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(object_of(again).value("id"), entry.value("id"));
    std::string copy = with(game, "date ", "date 2026-03-03T03:03:03") + "# mine now\n";
    for (std::size_t at = copy.find('\n'); at != std::string::npos; at = copy.find('\n', at + 2))
        copy.insert(at, "\r");
    const HttpResponse stolen = rig.upload(rig.join(QStringLiteral("Thief")), copy);
    EXPECT_EQ(stolen.status, 409) << stolen.body;
    EXPECT_EQ(rig.upload(token, copy).status, 200);
    // Nor shown on another display, nor cut short after its last points.
    const std::string thief = rig.join(QStringLiteral("Thief 2"));
    EXPECT_EQ(rig.upload(thief, with(game, "display ", "display 1280 720")).status, 409);
    EXPECT_EQ(rig.upload(thief, with(game, "seed ", "seed 3")).status, 409);
    // The safe start turned on for a tick while the robot stands on its tiles changes
    // nothing but the category's name.
    std::string safe = game;
    std::size_t line = 0;
    for (int i = 1; i < 592; ++i)
        line = safe.find('\n', line) + 1;
    safe.insert(safe.find('\n', line) + 1, "safe-start 0\n");
    safe.insert(line, "safe-start 1\n");
    EXPECT_EQ(rig.upload(thief, safe).status, 409);
    EXPECT_EQ(rig.upload(token, with(game, "seed ", "seed 0")).status, 200);
    std::string cut = game;
    cut.erase(cut.rfind('\n', cut.rfind('\n', cut.size() - 2) - 1) + 1);
    cut = told(cut);
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(rig.upload(thief, cut).status, 409);

    const QJsonObject board = object_of(rig.ask("GET", "/api/v1/boards/slow"));
    EXPECT_EQ(board.value("games").toInt(), 1);
    ASSERT_EQ(board.value("entries").toArray().size(), 1);
    EXPECT_EQ(board.value("entries").toArray()[0].toObject().value("name").toString(),
              "Ann<script>x</script>");
    EXPECT_EQ(
        object_of(rig.ask("GET", "/api/v1/boards/slow?around=ann%3Cscript%3Ex%3C%2Fscript%3E"))
            .value("entries")
            .toArray()
            .size(),
        1);
    EXPECT_EQ(rig.ask("GET", "/api/v1/boards/slow?around=nobody").status, 404);
    const HttpResponse nobody = rig.ask("GET", "/boards/slow?around=nobody");
    EXPECT_EQ(nobody.status, 404);
    EXPECT_EQ(nobody.content_type.rfind("text/html", 0), 0u);
    EXPECT_EQ(rig.ask("GET", "http://hall.example/api/v1/boards/slow").status, 200);
    EXPECT_EQ(object_of(rig.ask("GET", "/api/v1/boards/classic")).value("games").toInt(), 0);
    EXPECT_EQ(rig.ask("GET", "/api/v1/boards/fast").status, 404);

    // The page escapes the name and links the recording, which proves again as it was.
    const HttpResponse page = rig.ask("GET", "/boards/slow");
    EXPECT_EQ(page.content_type, "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("Ann&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(page.body.find("<script"), std::string::npos);
    const std::string link = "/api/v1/games/" + std::to_string(entry.value("id").toInt());
    EXPECT_NE(page.body.find(link), std::string::npos);
    const HttpResponse download = rig.ask("GET", link);
    // Kept as the game reads it: without its comments.
    EXPECT_EQ(download.body.find('#'), std::string::npos);
    EXPECT_EQ(download.body, game.substr(game.find("recording 2")));
    EXPECT_EQ(verify(download.body).outcome, Verdict::Proven);
    EXPECT_EQ(rig.ask("GET", "/api/v1/games/99").status, 404);
    EXPECT_EQ(rig.ask("GET", "/").status, 200);
    EXPECT_EQ(rig.ask("GET", "/healthz").body, "ok\n");
    EXPECT_EQ(rig.ask("DELETE", "/api/v1/games/1").status, 405);
}

// Nothing unproven is kept, and each refusal says why.
TEST(World, EachBadRecordingIsRefusedWithItsReason) {
    Rig rig;
    const std::string token = rig.join(QStringLiteral("Eve"));
    const std::string real = recorded_game();
    const std::string start =
        "recording 2\nrules 1\nseed 7\nscore 0\ndate 2026-12-08T10:00:00\n"
        "ticks 0\nseconds 0\ndisplay 1920 1080\nwindow 1920 1080\n"
        "picture 1916 1034\nload\n";
    struct Case {
        const char* what;
        std::string text;
        int status;
        const char* error;
    };
    std::string random(4096, '\0');
    for (std::size_t i = 0; i < random.size(); ++i)
        random[i] = char((i * 2654435761u) >> 13);
    const Case cases[] = {
        {"a boasted score", with(real, "score 1000", "score 99999"), 422, "not proven"},
        {"a forged start", with(real, "seed 2", "seed 2\ncarry spawn_delay -2147483648"), 422,
         "forged"},
        {"another rules version", with(real, "rules 1", "rules 7"), 422, "wrong rules version"},
        {"random bytes", random, 400, "unreadable"},
        {"a billion ticks", start + repeated("tick 1000000\n", 1000), 422, "too long"},
        {"a game padded with lines the rules ignore", real + repeated("window 7684 4324\n", 20000),
         422, "too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HttpResponse r = rig.upload(token, c.text);
        EXPECT_EQ(r.status, c.status) << r.body;
        EXPECT_EQ(object_of(r).value("error").toString().toStdString(), c.error);
        EXPECT_FALSE(object_of(r).value("why").toString().isEmpty());
    }
    // A game played slower, filed under the classic speed.
    const HttpResponse filed = rig.upload(token, real, "/api/v1/games?category=classic");
    EXPECT_EQ(filed.status, 422);
    EXPECT_EQ(object_of(filed).value("error").toString(), "not its category");
    for (const QString& board : World::categories())
        EXPECT_EQ(object_of(rig.ask("GET", "/api/v1/boards/" + board.toStdString()))
                      .value("games")
                      .toInt(),
                  0)
            << board.toStdString();
}

// A client that asks too often is told to wait, and so is one whose recording would
// wait too long for a prover; the others are served meanwhile.
TEST(World, TooManyRequestsAndAFullQueueAreAskedToComeBack) {
    ServerConfig config;
    config.provers = 1;
    config.queue = 1;
    config.uploads_per_minute = 100;
    config.per_minute = 100;
    config.proxies = QStringList{QStringLiteral("10.0.0.1")};
    config.clients_counted = 3;
    Rig rig(config);
    const std::string token = rig.join(QStringLiteral("Zed"));
    const std::string game = recorded_game();
    std::vector<std::future<HttpResponse>> answers;
    for (int i = 0; i < 8; ++i)
        answers.push_back(
            rig.send("POST", "/api/v1/games", game, {{"Authorization", "Bearer " + token}}));
    int kept = 0;
    int busy = 0;
    for (auto& a : answers) {
        const HttpResponse r = a.get();
        kept += r.status == 201 || r.status == 200;
        if (r.status == 503) {
            ++busy;
            EXPECT_EQ(r.headers.at(0).first, "Retry-After");
        }
    }
    EXPECT_GE(kept, 2);
    EXPECT_GE(busy, 1);
    EXPECT_EQ(kept + busy, 8);

    // Past the limit a minute: 429. A proxy of ours speaks for its clients; anyone else
    // naming an address in X-Forwarded-For is still itself.
    int refused = 0;
    for (int i = 0; i < 200; ++i)
        refused += rig.send("GET", "/api/v1/boards/classic", {}, {{"X-Forwarded-For", "192.0.2.9"}},
                            "10.0.0.2")
                       .get()
                       .status == 429;
    EXPECT_EQ(refused, 100);
    EXPECT_EQ(rig.send("GET", "/api/v1/boards/classic", {}, {}, "10.0.0.2").get().status, 429);
    EXPECT_EQ(rig.send("GET", "/api/v1/boards/classic", {}, {{"X-Forwarded-For", "192.0.2.9"}},
                       "10.0.0.1")
                  .get()
                  .status,
              200);

    // A flood of addresses past those counted one by one puts no newcomer past the
    // limit, and a newcomer is still held to it.
    const auto from = [&](const std::string& address) {
        return rig
            .send("GET", "/api/v1/boards/classic", {}, {{"X-Forwarded-For", address}}, "10.0.0.1")
            .get()
            .status;
    };
    for (int i = 0; i < 3000; ++i)
        from("198.18." + std::to_string(i / 256) + "." + std::to_string(i % 256));
    int served = 0;
    for (int i = 0; i < 101; ++i)
        served += from("203.0.113.5") == 200;
    EXPECT_EQ(served, 100);
}

// Uploads with tokens the server has not seen are read within a quarter of the bodies'
// bound, so made-up tokens cannot keep the players out; a request that has no body to
// send is refused one at its head.
TEST(World, MadeUpTokensShareAQuarterOfTheBodiesAndOnlyUploadsAndNamesHaveOne) {
    ServerConfig config = roomy();
    config.http.bodies_bytes = 400'000;
    Rig rig(config);
    const std::string token = rig.join(QStringLiteral("Known"));
    const auto head = [](const std::string& bearer, const char* length) {
        return HttpRequest{"POST",
                           "/api/v1/games",
                           {},
                           "127.0.0.1",
                           {{"Authorization", "Bearer " + bearer}, {"Content-Length", length}}};
    };
    std::size_t limit = config.http.body_bytes;
    std::shared_ptr<void> first, second, mine;
    EXPECT_FALSE(rig.world->admit(head(std::string(64, 'b'), "80000"), limit, first));
    EXPECT_TRUE(first);
    const auto refused = rig.world->admit(head(std::string(64, 'c'), "80000"), limit, second);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_FALSE(rig.world->admit(head(token, "80000"), limit, mine));
    EXPECT_FALSE(mine);  // a player's upload takes from the whole bound only
    first.reset();
    EXPECT_FALSE(rig.world->admit(head(std::string(64, 'c'), "80000"), limit, second));

    HttpRequest get{"GET", "/api/v1/boards/classic", {}, "127.0.0.1", {}};
    limit = config.http.body_bytes;
    std::shared_ptr<void> none;
    EXPECT_FALSE(rig.world->admit(get, limit, none));
    EXPECT_EQ(limit, 0u);
    EXPECT_EQ(rig.ask("GET", "/api/v1/nothing").status, 404);
    EXPECT_EQ(rig.ask("DELETE", "/").content_type.rfind("text/html", 0), 0u);
    EXPECT_EQ(rig.ask("GET", "http://hall.example?offset=0").status, 200);
}

// A board's pages, from anywhere in it, and the ranks the store gives as games come:
// as sorting every game would give them, ties in the order they came.
TEST(Store, PagesAndRanksAreThoseOfTheWholeBoardSorted) {
    Rig rig;
    Store& store = *rig.store;
    ASSERT_EQ(store.claim(QStringLiteral("Ann"), token_hash("a")), Store::Result::Done);
    ASSERT_EQ(store.claim(QStringLiteral("Bob"), token_hash("b")), Store::Result::Done);
    std::vector<std::pair<std::int32_t, std::int64_t>> sorted;  // points, id
    for (int i = 0; i < 40; ++i) {
        ProvenGame g;
        g.digest = QByteArray::number(i);
        g.recording = "r";
        g.category = QStringLiteral("classic");
        g.earned = ((i * 7) % 4) * 100;
        BoardEntry kept;
        ASSERT_EQ(store.add(i == 23 ? 2 : 1, g, &kept), Store::Result::Done);
        sorted.emplace_back(g.earned, kept.id);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        const auto at = std::find(sorted.begin(), sorted.end(), std::pair{g.earned, kept.id});
        EXPECT_EQ(kept.rank, at - sorted.begin() + 1) << i;
    }
    std::int64_t games = 0;
    ASSERT_EQ(store.count(QStringLiteral("classic"), &games), Store::Result::Done);
    EXPECT_EQ(games, 40);
    const auto pages_are_sorted = [&](Store& s) {
        for (int offset = 0; offset <= 42; ++offset) {
            std::vector<BoardEntry> page;
            ASSERT_EQ(s.board(QStringLiteral("classic"), offset, 7, &page), Store::Result::Done);
            ASSERT_EQ(page.size(), std::size_t(std::clamp(40 - offset, 0, 7))) << offset;
            for (std::size_t k = 0; k < page.size(); ++k) {
                EXPECT_EQ(page[k].id, sorted[std::size_t(offset) + k].second) << offset;
                EXPECT_EQ(page[k].rank, offset + std::int64_t(k) + 1);
            }
        }
        std::vector<BoardEntry> around;
        ASSERT_EQ(s.around(QStringLiteral("classic"), QStringLiteral("bob"), 5, &around),
                  Store::Result::Done);
        ASSERT_EQ(around.size(), 11u);
        EXPECT_EQ(around[5].name, QStringLiteral("Bob"));
        EXPECT_EQ(around[5].id, sorted[std::size_t(around[5].rank - 1)].second);
    };
    pages_are_sorted(store);

    // A board kept before games had their places among equal scores gets them, in the
    // order the games came.
    for (const char* back :
         {"DROP INDEX games_place", "DROP INDEX games_player",
          "ALTER TABLE games DROP COLUMN place",
          "CREATE INDEX games_board ON games (category, earned DESC, id)",
          "CREATE INDEX games_player ON games (player_id, category, earned DESC, id)",
          "DELETE FROM schema_migrations WHERE version = 3"})
        ASSERT_TRUE(store.execute(QLatin1String(back))) << back;
    Store older(rig.config.store());
    QString why;
    ASSERT_TRUE(older.open(&why)) << why.toStdString();
    pages_are_sorted(older);
}

// The fuzzer's kept requests, answered again: each gets an answer, none a server error.
TEST(World, TheFuzzersRequestsAreAnswered) {
    const QDir dir(QStringLiteral(GRIMBOLT_FUZZ_DIR "/server_corpus"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const int status = fuzz_server(bytes.constData(), std::size_t(bytes.size()));
        EXPECT_TRUE(status >= 200 && status < 500) << name.toStdString() << ": " << status;
    }
}

// The other games the tests and the benchmark send: each proves, each another play.
TEST(World, OtherGamesAreOtherPlays) {
    Rig rig;
    const std::string token = rig.join(QStringLiteral("Many"));
    std::set<int> ids;
    for (int n = 0; n < 4; ++n) {
        const std::string game = other_game(recorded_game(), n);
        ASSERT_FALSE(game.empty()) << n;
        const HttpResponse r = rig.upload(token, game);
        EXPECT_EQ(r.status, 201) << r.body;
        ids.insert(object_of(r).value("id").toInt());
    }
    EXPECT_EQ(ids.size(), 4u);

    // A day's worth of games, and no more, for one player.
    ServerConfig few = roomy();
    few.games_per_day = 2;
    Rig day(few);
    const std::string mine = day.join(QStringLiteral("Daily"));
    EXPECT_EQ(day.upload(mine, other_game(recorded_game(), 0)).status, 201);
    EXPECT_EQ(day.upload(mine, other_game(recorded_game(), 1)).status, 201);
    EXPECT_EQ(day.upload(mine, other_game(recorded_game(), 2)).status, 429);
    // Sent all at once, before any is kept, they still count one after the other.
    Rig rush(few);
    const std::string hasty = rush.join(QStringLiteral("Hasty"));
    std::vector<std::future<HttpResponse>> answers;
    for (int n = 0; n < 6; ++n)
        answers.push_back(rush.send("POST", "/api/v1/games", other_game(recorded_game(), n),
                                    {{"Authorization", "Bearer " + hasty}}));
    int kept = 0;
    for (auto& a : answers) {
        const HttpResponse r = a.get();
        kept += r.status == 201;
        EXPECT_TRUE(r.status == 201 || r.status == 429) << r.status << r.body;
    }
    EXPECT_EQ(kept, 2);
    EXPECT_EQ(object_of(rush.ask("GET", "/api/v1/boards/slow")).value("games").toInt() +
                  object_of(rush.ask("GET", "/api/v1/boards/classic")).value("games").toInt(),
              2);
}

TEST(Players, NamesArePrintableAndShort) {
    for (const char* good : {"Ann", "Ёжик в тумане", "李小龙", "O'Brien; DROP", "x y",
                             "123456789012345678901234", "e\xcc\x81t\xc3\xa9"})
        EXPECT_TRUE(player_name(QString::fromUtf8(good))) << good;
    for (const char* bad :
         {"", " Ann", "Ann ", "1234567890123456789012345", "a\tb", "a\nb", "zero\xe2\x80\x8bwidth",
          "rtl\xe2\x80\xaeoverride", "\xcc\x81start", "z\xcc\x81\xcc\x81\xcc\x81\xcc\x81",
          "hangul\xe3\x85\xa4"
          "filler",
          "nb\xc2\xa0space"})
        EXPECT_FALSE(player_name(QString::fromUtf8(bad))) << bad;
    EXPECT_EQ(folded(QStringLiteral("ÉTÉ")), folded(QString::fromUtf8("e\xcc\x81t\xc3\xa9")));
    EXPECT_EQ(folded(QString::fromUtf8("\xc4\xb0x")), folded(QString::fromUtf8("i\xcc\x87x")));
    // Broken text, and marks that change nothing a reader sees.
    EXPECT_FALSE(player_name(QStringLiteral("ab") + QChar(0xD800)));
    EXPECT_FALSE(player_name(QString::fromUtf8("Ann\xef\xb8\x8f")));
    EXPECT_FALSE(player_name(QString::fromUtf8("Ann\xcd\x8f")));
    // One name in its compatibility forms and its full case.
    EXPECT_EQ(folded(QString::fromUtf8("\xef\xbc\xa6ull")), folded(QStringLiteral("full")));
    EXPECT_EQ(folded(QString::fromUtf8("Stra\xc3\x9f"
                                       "e")),
              folded(QStringLiteral("STRASSE")));
}

}  // namespace
}  // namespace grimbolt::server
