#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <set>

#include "shell/online/outbox.h"

namespace grimbolt {
namespace {

QByteArray game(int n) {
    return "recording 2\n# game " + QByteArray::number(n) + "\ntick 1\n";
}

// A game is waiting until its fate is written; a settled game leaves, and what the
// server said of it stays. Nothing in the folder is taken on its name alone.
TEST(Outbox, KeepsEachGameUntilTheServerAnsweredForIt) {
    QTemporaryDir dir;
    Outbox outbox(dir.path() + "/outbox");
    const QString first = Outbox::key_of(game(1));
    const QString second = Outbox::key_of(game(2));
    EXPECT_EQ(outbox.fate(first).kind, Outbox::Fate::NotSent);
    ASSERT_TRUE(outbox.put(game(1)));
    ASSERT_TRUE(outbox.put(game(1)));  // once
    QThread::msleep(20);               // the files' times tell the order
    ASSERT_TRUE(outbox.put(game(2)));
    EXPECT_EQ(outbox.waiting(), (QStringList{first, second}));
    EXPECT_EQ(outbox.recording(first), game(1));
    EXPECT_EQ(outbox.fate(first).kind, Outbox::Fate::Waiting);

    ASSERT_TRUE(outbox.settle(first, {Outbox::Fate::Ranked, 7, 42, {}}));
    ASSERT_TRUE(outbox.settle(second, {Outbox::Fate::Refused, 0, 0, "not proven"}));
    EXPECT_TRUE(outbox.waiting().isEmpty());
    EXPECT_EQ(outbox.fate(first), (Outbox::Fate{Outbox::Fate::Ranked, 7, 42, {}}));
    EXPECT_EQ(outbox.fate(second), (Outbox::Fate{Outbox::Fate::Refused, 0, 0, "not proven"}));

    // A file whose bytes are not what its name says, a link, and a stranger's name:
    // none is a waiting game.
    const QString third = Outbox::key_of(game(3));
    QFile forged(outbox.folder() + '/' + third + ".script");
    ASSERT_TRUE(forged.open(QIODevice::WriteOnly) && forged.write("recording 2\n") > 0);
    forged.close();
    ASSERT_TRUE(QFile::link("/etc/passwd", outbox.folder() + '/' + QString(64, 'a') + ".script"));
    QFile stranger(outbox.folder() + "/../outbox/x.script");
    ASSERT_TRUE(stranger.open(QIODevice::WriteOnly));
    stranger.close();
    EXPECT_TRUE(outbox.recording(third).isEmpty());
    EXPECT_EQ(outbox.waiting(), QStringList{third});  // listed, and refused when read
    EXPECT_TRUE(outbox.recording(QString(64, 'a')).isEmpty());
    EXPECT_TRUE(outbox.recording("../outbox/x").isEmpty());
}

// Killed while it writes, at any moment: every game it said it put is there whole, and
// no file of a game is ever half of one.
TEST(Outbox, AGameIsWholeOrNotThereAfterAKillAtAnyMoment) {
    const int kills = qEnvironmentVariableIntValue("GRIMBOLT_OUTBOX_KILLS");
    QTemporaryDir dir;
    const QString folder = dir.path() + "/outbox";
    Outbox outbox(folder);
    std::set<QString> put;
    int settled = 0;
    QRandomGenerator random(2026);
    QElapsedTimer timer;
    timer.start();
    QProcess alone;
    alone.start(GRIMBOLT_OUTBOX_WRITER, {folder, "alone", "20"});
    ASSERT_TRUE(alone.waitForFinished(60000));
    const auto whole_run_us = std::clamp<qint64>(timer.nsecsElapsed() / 1000, 20000, 500000);
    const auto said = [&put](QProcess& p) {
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (line.startsWith("put "))
                put.insert(QString::fromLatin1(line.mid(4)));
    };
    said(alone);
    for (int k = 0; k < (kills > 0 ? kills : 5); ++k) {
        QProcess p;
        p.start(GRIMBOLT_OUTBOX_WRITER, {folder, "k" + QString::number(k), "20"});
        ASSERT_TRUE(p.waitForStarted());
        QThread::usleep(random.bounded(qint64(1000), whole_run_us));
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        said(p);
        const QStringList waiting = outbox.waiting();
        for (const QString& key : put)
            ASSERT_TRUE(waiting.contains(key)) << "kill " << k << " lost " << key.toStdString();
        // Sent, as far as this test goes: the next round looks at its own games.
        for (const QString& key : waiting) {
            ASSERT_FALSE(outbox.recording(key).isEmpty()) << "kill " << k << ": half a game";
            ASSERT_TRUE(outbox.settle(key, {Outbox::Fate::Ranked, 1, 1, {}}));
        }
        settled += int(put.size());
        put.clear();
    }
    EXPECT_GT(settled, 20);  // kills fell after games were put too
}

}  // namespace
}  // namespace grimbolt
