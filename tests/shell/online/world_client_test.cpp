#include <gtest/gtest.h>

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include "replay/proof.h"
#include "replay/recorded.h"
#include "server/variants.h"
#include "shell/online/outbox.h"
#include "shell/online/world_client.h"
#include "shell/online/world_post.h"
#include "shell/online/world_server.h"

namespace grimbolt {
namespace {

using namespace std::chrono_literals;

WorldClient::Answer asked(const std::function<void(WorldClient::Reply)>& ask) {
    WorldClient::Answer got;
    got.line = "no answer at all";
    QEventLoop loop;
    QTimer::singleShot(30s, &loop, &QEventLoop::quit);
    ask([&](const WorldClient::Answer& a) {
        got = a;
        loop.quit();
    });
    loop.exec();
    return got;
}

// Against a real server: a name claimed once, a game sent and found on its board at its
// rank, and its recording downloaded proves.
TEST(WorldClient, JoinsSendsAndReadsARealServer) {
    WorldServer server;
    WorldClient client;
    ASSERT_TRUE(WorldClient::server_url(server.url.toString()));
    client.set_server(*WorldClient::server_url(server.url.toString()));
    const auto joined = asked([&](auto r) { client.join("Ann", r); });
    ASSERT_EQ(joined.kind, WorldClient::Answer::Done) << joined.line.toStdString();
    const QString token = joined.body.value("token").toString();
    const auto taken = asked([&](auto r) { client.join("ANN", r); });
    EXPECT_EQ(taken.kind, WorldClient::Answer::Refused);
    EXPECT_EQ(taken.status, 409);

    const auto sent =
        asked([&](auto r) { client.send(QByteArray::fromStdString(recorded_game()), token, r); });
    ASSERT_EQ(sent.kind, WorldClient::Answer::Done) << sent.line.toStdString();
    EXPECT_EQ(sent.body.value("rank").toInt(), 1);
    const auto stranger = asked([&](auto r) {
        client.send(QByteArray::fromStdString(recorded_game()), QString(64, 'a'), r);
    });
    EXPECT_EQ(stranger.kind, WorldClient::Answer::Refused);
    EXPECT_EQ(stranger.status, 401);

    const auto board = asked([&](auto r) { client.board("slow", "ann", r); });
    ASSERT_EQ(board.kind, WorldClient::Answer::Done);
    const QJsonArray entries = board.body.value("entries").toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toObject().value("name").toString(), "Ann");
    const auto file = asked([&](auto r) { client.download(sent.body.value("id").toInteger(), r); });
    ASSERT_EQ(file.kind, WorldClient::Answer::Done);
    EXPECT_EQ(verify(file.bytes.toStdString()).outcome, Verdict::Proven);
}

// A server that answers slowly, with garbage, with a 500 or with a redirect elsewhere,
// and none at all: each is one line and a request to make again later.
TEST(WorldClient, ABrokenServerIsALineAndATryLater) {
    QTcpServer fake;
    ASSERT_TRUE(fake.listen(QHostAddress::LocalHost));
    QByteArray answer;
    QObject::connect(&fake, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = fake.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &answer] {
            socket->readAll();
            if (!answer.isEmpty())
                socket->write(answer);
        });
    });
    WorldClient client;
    client.set_server(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(fake.serverPort())));
    client.set_deadline(300ms);
    // A name claimed on a server that gives back what the settings file cannot keep.
    const QByteArray hex(64, 'a');
    for (const QByteArray& body : {R"({"name": "Ann\n[world]\ntoken=x", "token": ")" + hex + "\"}",
                                   R"({"name": "Ann", "token": ")" + QByteArray(64, 'Z') + "\"}",
                                   R"({"name": "", "token": ")" + hex + "\"}"}) {
        SCOPED_TRACE(body.toStdString());
        answer = "HTTP/1.1 201 Created\r\nContent-Length: " + QByteArray::number(body.size()) +
                 "\r\n\r\n" + body;
        const auto a = asked([&](auto r) { client.join("Ann", r); });
        EXPECT_EQ(a.kind, WorldClient::Answer::Later);
        EXPECT_EQ(a.line, "не сервер Grimbolt");
    }
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "silent"},
        {"HELLO THERE\r\n\r\n", "garbage"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "not JSON"},
        {"HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n", "a 500"},
        {"HTTP/1.1 302 Found\r\nLocation: http://elsewhere.example/\r\nContent-Length: 0\r\n\r\n",
         "a redirect"},
        {"HTTP/1.1 429 Slow\r\nContent-Length: 2\r\n\r\n{}", "too many"},
    };
    for (const auto& [text, what] : cases) {
        SCOPED_TRACE(what);
        answer = text;
        const auto a = asked([&](auto r) { client.send("recording 2\n", QString(64, 'a'), r); });
        EXPECT_EQ(a.kind, WorldClient::Answer::Later);
        EXPECT_FALSE(a.line.isEmpty());
        EXPECT_FALSE(a.line.contains('\n'));
    }
    // A download larger than any recording is cut off, and is no recording.
    answer = "HTTP/1.1 200 OK\r\nContent-Length: 9437184\r\n\r\n" + QByteArray(9437184, 'x');
    const auto huge = asked([&](auto r) { client.download(1, r); });
    EXPECT_EQ(huge.kind, WorldClient::Answer::Later);
    EXPECT_TRUE(huge.bytes.isEmpty());
    fake.close();
    const auto none = asked([&](auto r) { client.board("classic", {}, r); });
    EXPECT_EQ(none.kind, WorldClient::Answer::Later);

    EXPECT_FALSE(WorldClient::server_url("ftp://x"));
    EXPECT_FALSE(WorldClient::server_url("http://user:pw@x"));
    EXPECT_FALSE(WorldClient::server_url(""));
    EXPECT_EQ(WorldClient::server_url("hall.example.org:8640/")->toString(),
              "http://hall.example.org:8640");
}

// Games sent while the server is away wait in the outbox, through a restart of the game,
// and arrive once each when it is back.
TEST(WorldPost, EveryGameArrivesOnceWhateverTheServerDoes) {
    QTemporaryDir dir;
    WorldClient client;
    auto first = std::make_unique<WorldServer>(dir.path() + "/server");
    client.set_server(first->url);
    const QString token =
        asked([&](auto r) { client.join("Bea", r); }).body.value("token").toString();
    ASSERT_EQ(token.size(), 64);
    first.reset();  // the server goes away

    const std::string recorded = recorded_game();
    const QByteArray a = QByteArray::fromStdString(server::other_game(recorded, 0));
    const QByteArray b = QByteArray::fromStdString(server::other_game(recorded, 1));
    ASSERT_FALSE(a.isEmpty() || b.isEmpty());
    const QString folder = dir.path() + "/outbox";
    const auto sent_and_idle = [&](WorldPost& post, const QByteArray& game) {
        QEventLoop loop;
        bool done = false;
        const auto idle = QObject::connect(&post, &WorldPost::idle, [&] {
            done = true;
            loop.quit();
        });
        QTimer::singleShot(30s, &loop, &QEventLoop::quit);
        if (game.isEmpty())
            post.post();
        else
            post.send(game);
        if (!done)
            loop.exec();
        QObject::disconnect(idle);
        EXPECT_TRUE(done);
    };
    {
        Outbox outbox(folder);
        WorldPost post(outbox, client);
        post.set_token(token);
        QStringList said;
        QObject::connect(&post, &WorldPost::said, [&said](const QString& l) { said << l; });
        sent_and_idle(post, a);
        EXPECT_EQ(said.size(), 1);
        EXPECT_EQ(outbox.fate(Outbox::key_of(a)).kind, Outbox::Fate::Waiting);
    }
    // The game closed and started again, the server still away; then it is back.
    Outbox outbox(folder);
    WorldPost post(outbox, client);
    post.set_token(token);
    sent_and_idle(post, b);
    EXPECT_EQ(outbox.waiting().size(), 2);
    // A file that is not what its name says is put aside once, and the games go on.
    const QString forged = QString(64, 'f');
    QFile bad(folder + '/' + forged + ".script");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("recording 2\n") > 0);
    bad.close();
    bad.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    WorldServer back(dir.path() + "/server");
    client.set_server(back.url);
    sent_and_idle(post, {});
    EXPECT_TRUE(outbox.waiting().isEmpty());
    EXPECT_TRUE(QFile::exists(folder + "/damaged/" + forged + ".script"));
    EXPECT_EQ(outbox.fate(Outbox::key_of(a)).kind, Outbox::Fate::Ranked);
    EXPECT_EQ(outbox.fate(Outbox::key_of(b)).kind, Outbox::Fate::Ranked);
    int games = 0;
    for (const char* board : {"classic", "slow"})
        games += asked([&](auto r) { client.board(board, {}, r); }).body.value("games").toInt();
    EXPECT_EQ(games, 2);
    sent_and_idle(post, a);  // again: answered for already, nothing to send
    EXPECT_EQ(outbox.fate(Outbox::key_of(a)).kind, Outbox::Fate::Ranked);
    EXPECT_TRUE(outbox.waiting().isEmpty());
}

}  // namespace
}  // namespace grimbolt
