#include <gtest/gtest.h>

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
#include "shell/online/world_client.h"

namespace grimbolt {
namespace {

using namespace std::chrono_literals;

// A real world server on a free loopback port, with its games in a folder of its own.
struct WorldServer {
    QTemporaryDir data;
    QProcess process;
    QUrl url;

    WorldServer() {
        process.start(GRIMBOLT_SERVER, {"--data", data.path(), "--listen", "127.0.0.1", "--port",
                                        "0", "--per-minute", "1000"});
        const QRegularExpression listening("listening on (http://127\\.0\\.0\\.1:\\d+)/");
        QByteArray said;
        process.setReadChannel(QProcess::StandardError);
        while (url.isEmpty() && process.waitForReadyRead(10000)) {
            said += process.readAllStandardError();
            if (const auto m = listening.match(QString::fromUtf8(said)); m.hasMatch())
                url = QUrl(m.captured(1));
        }
        EXPECT_FALSE(url.isEmpty()) << said.toStdString();
    }
    ~WorldServer() {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
    }
};

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

QByteArray recorded_game() {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
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

    const auto sent = asked([&](auto r) { client.send(recorded_game(), token, r); });
    ASSERT_EQ(sent.kind, WorldClient::Answer::Done) << sent.line.toStdString();
    EXPECT_EQ(sent.body.value("rank").toInt(), 1);
    const auto stranger = asked([&](auto r) { client.send(recorded_game(), QString(64, 'a'), r); });
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
    fake.close();
    const auto none = asked([&](auto r) { client.board("classic", {}, r); });
    EXPECT_EQ(none.kind, WorldClient::Answer::Later);

    EXPECT_FALSE(WorldClient::server_url("ftp://x"));
    EXPECT_FALSE(WorldClient::server_url("http://user:pw@x"));
    EXPECT_FALSE(WorldClient::server_url(""));
    EXPECT_EQ(WorldClient::server_url("hall.example.org:8640/")->toString(),
              "http://hall.example.org:8640");
}

}  // namespace
}  // namespace grimbolt
