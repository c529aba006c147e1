#pragma once
// A real world server for the game's tests, on a free loopback port, with its games in
// a folder of its own; stopped when the test is done with it.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <csignal>

#include <sys/prctl.h>

namespace grimbolt {

// A real world server on a free loopback port, with its games in a folder of its own.
struct WorldServer {
    QTemporaryDir own;
    QProcess process;
    QUrl url;

    // Port 0: a free one.
    explicit WorldServer(QString data = {}, int port = 0) {
        // A test that dies (a sanitizer's abort) takes its server with it.
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.start(GRIMBOLT_SERVER,
                      {"--data", data.isEmpty() ? own.path() : data, "--listen", "127.0.0.1",
                       "--port", QString::number(port), "--per-minute", "1000"});
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

}  // namespace grimbolt
