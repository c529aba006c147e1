// What the world's hall of fame costs the game while it plays.
//   online_turns/*: a tick with the network quiet and a tick while a game is being sent
//   and the board read without pause, in turns; between ticks the event loop hears the
//   answers, as the game's own loop does

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>

#include "online_bench.h"
#include "scene.h"
#include "shell/online/world_client.h"

namespace grimbolt::bench {
namespace {

// A world server far away: on a thread of its own, it answers at once with what a real
// one answers (a kept game, a board of a hundred games), so that the turns measure the
// game's side of the talk and not the server's proofs on the same cores.
class FarServer : public QThread {
  public:
    FarServer() {
        QJsonArray entries;
        for (int i = 1; i <= 100; ++i)
            entries.append(QJsonObject{{"id", i},
                                       {"rank", i},
                                       {"name", QString("Player %1").arg(i)},
                                       {"category", "classic"},
                                       {"earned", 100000 - i},
                                       {"score", 50000},
                                       {"date", "2026-12-08T10:00:00"},
                                       {"ticks", 12000},
                                       {"seconds", 600}});
        board_ = QJsonDocument(
                     QJsonObject{{"category", "classic"}, {"games", 100}, {"entries", entries}})
                     .toJson(QJsonDocument::Compact);
        kept_ = QJsonDocument(entries.first().toObject()).toJson(QJsonDocument::Compact);
        start();
        while (port_.load() == 0)
            QThread::msleep(1);
    }
    ~FarServer() override {
        quit();
        wait();
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_.load())); }

  protected:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { answer(socket); });
        });
        port_ = server.serverPort();
        exec();
    }

  private:
    // Answers each whole request on the connection, keeping it open for the next.
    void answer(QTcpSocket* socket) {
        QByteArray& in = pending_[socket];
        in += socket->readAll();
        for (;;) {
            const qsizetype head = in.indexOf("\r\n\r\n");
            if (head < 0)
                return;
            qsizetype length = 0;
            for (const QByteArray& line : in.left(head).split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (in.size() < head + 4 + length)
                return;
            const QByteArray body = in.startsWith("GET") ? board_ : kept_;
            const QByteArray status = in.startsWith("GET") ? "200 OK" : "201 Created";
            in.remove(0, head + 4 + length);
            socket->write("HTTP/1.1 " + status +
                          "\r\nContent-Type: application/json\r\n"
                          "Content-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
    }

    QByteArray board_, kept_;
    QHash<QTcpSocket*, QByteArray> pending_;
    std::atomic<int> port_{0};
};

// Keeps an upload and a board read going while it is on: the next of each as soon as
// the last is answered, or `pace` after it.
struct Traffic {
    WorldClient client;
    QByteArray recording;
    QString token;
    std::chrono::milliseconds pace{0};
    bool on = true;
    int answers = 0;

    void again(void (Traffic::*ask)()) {
        ++answers;
        if (on)
            QTimer::singleShot(pace, &client, [this, ask] { (this->*ask)(); });
    }
    void send() {
        client.send(recording, token,
                    [this](const WorldClient::Answer&) { again(&Traffic::send); });
    }
    void read() {
        client.board(QStringLiteral("classic"), QString(),
                     [this](const WorldClient::Answer&) { again(&Traffic::read); });
    }
};

void online_turns(benchmark::State& state, const Load& load, int pace_ms) {
    FarServer server;
    Traffic traffic;
    traffic.pace = std::chrono::milliseconds(pace_ms);
    traffic.client.set_server(server.url());
    QFile game(QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    game.open(QIODevice::ReadOnly);
    traffic.recording = game.readAll();
    traffic.token = QString(64, 'a');

    Scene scene(1920, 1080, load);
    double quiet_ns = 0, busy_ns = 0, events_ns = 0;
    std::uint64_t turns = 0;
    const auto ticks = [&scene](double& spent) {
        for (int i = 0; i < 64; ++i) {
            const auto start = std::chrono::steady_clock::now();
            scene.game.s = scene.start;
            scene.game.Timer1_Timer();
            scene.game.screen.flush();
            spent +=
                std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                    .count();
            // The game's loop between two ticks: whatever answers came.
            QCoreApplication::processEvents();
        }
    };
    double unused = 0;
    for (auto _ : state) {
        ticks(quiet_ns);
        traffic.on = pace_ms >= 0;
        if (traffic.on) {
            traffic.send();
            traffic.read();
        }
        const auto start = std::chrono::steady_clock::now();
        ticks(busy_ns);
        events_ns +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count();
        // The requests in flight end before the next quiet turn.
        traffic.on = false;
        const int until = traffic.answers + (pace_ms >= 0 ? 2 : 0);
        while (traffic.answers < until)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        QCoreApplication::processEvents();  // the paced next ones, now off
        ticks(unused);
        ++turns;
    }
    const double n = double(turns) * 64;
    state.counters["quiet_us"] = quiet_ns / n / 1000;
    state.counters["busy_us"] = busy_ns / n / 1000;
    state.counters["busy_over_quiet"] = quiet_ns > 0 ? busy_ns / quiet_ns : 0;
    // A period's event work beside the tick, while the answers come.
    state.counters["events_us"] = (events_ns - busy_ns) / n / 1000;
    state.counters["answers"] = traffic.answers;
}

}  // namespace

void register_online() {
    // Without pause: far more than a player causes (a game sent as it enters the hall, the
    // board read when its page opens); a request of each every 50 ms; and none, which
    // shows the noise of the turns themselves.
    for (const auto& [name, load, pace] :
         {std::tuple{"online_turns/typical/1080p/none", kTypical, -1},
          std::tuple{"online_turns/worst/1080p/none", kWorst, -1},
          std::tuple{"online_turns/typical/1080p/nonstop", kTypical, 0},
          std::tuple{"online_turns/worst/1080p/nonstop", kWorst, 0},
          std::tuple{"online_turns/typical/1080p/every_50ms", kTypical, 50},
          std::tuple{"online_turns/worst/1080p/every_50ms", kWorst, 50}})
        benchmark::RegisterBenchmark(name, online_turns, load, pace)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
}

}  // namespace grimbolt::bench
