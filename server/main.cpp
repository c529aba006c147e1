// grimbolt-server: the world hall of fame. Takes recordings over HTTP, proves each by
// playing it again, keeps the proven ones in SQLite or PostgreSQL and shows them.

#include <pthread.h>
#include <QDir>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

#include "replay/proof.h"
#include "server/config.h"
#include "server/http_server.h"
#include "server/store.h"
#include "server/world.h"

namespace {

// One line an event on standard error, whole even when threads tell at once.
void say(const QString& line) {
    static std::mutex lock;
    const QByteArray text = QStringLiteral("grimbolt-server: %1\n").arg(line).toUtf8();
    const std::lock_guard hold(lock);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
    // SIGTERM and SIGINT are waited for by one thread of ours: every thread started from
    // here on inherits them blocked.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);

    // Proofs draw the game's pictures, text too, with no window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("grimbolt-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GRIMBOLT_VERSION));

    QString message;
    bool error = false;
    const auto config =
        grimbolt::server::read_config(QCoreApplication::arguments(), &message, &error);
    if (!config) {
        std::fputs(qPrintable(message), error ? stderr : stdout);
        if (error)
            std::fputs("\n", stderr);
        return error ? 2 : 0;
    }
    if (config->database.isEmpty() && !QDir().mkpath(config->data)) {
        say(QStringLiteral("cannot make the folder %1").arg(config->data));
        return 1;
    }

    grimbolt::server::Store store(config->store());
    QString why;
    // A database that is still starting is waited for a while.
    for (int attempt = 0; !store.open(&why); ++attempt) {
        if (attempt == 30) {
            say(QStringLiteral("cannot use the database: %1").arg(why));
            return 1;
        }
        say(QStringLiteral("waiting for the database: %1").arg(why));
        // A stop asked for meanwhile is heeded.
        const timespec second{1, 0};
        if (sigtimedwait(&stops, nullptr, &second) > 0) {
            say(QStringLiteral("stopped while waiting for the database"));
            return 1;
        }
    }

    grimbolt::server::World world(*config, store, say);
    grimbolt::server::HttpServer http(
        config->http,
        [&world](grimbolt::server::HttpRequest request, grimbolt::server::HttpServer::Reply reply) {
            world.handle(std::move(request), std::move(reply));
        },
        [](const std::string& line) { say(grimbolt::printable(QString::fromStdString(line))); },
        [&world](const grimbolt::server::HttpRequest& head, std::size_t& body_limit,
                 std::shared_ptr<void>& hold) { return world.admit(head, body_limit, hold); });
    std::string failed;
    if (!http.listen(config->address.toStdString(), config->port, &failed)) {
        say(QString::fromStdString(failed));
        return 1;
    }
    say(QStringLiteral("listening on http://%1:%2/, keeping games in %3")
            .arg(config->address, QString::number(http.port()),
                 store.postgres() ? QStringLiteral("PostgreSQL") : config->store()));

    std::thread stopper([&http, stops] {
        int signal = 0;
        sigwait(&stops, &signal);
        say(QStringLiteral("stopping: the proofs accepted are finished first"));
        http.stop();
    });
    http.run();
    world.finish();
    // The stopper waits for a signal that may never come when the server ends otherwise.
    if (stopper.joinable()) {
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
    }
    say(QStringLiteral("stopped"));
    return 0;
}
