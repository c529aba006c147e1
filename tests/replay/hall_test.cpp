#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <csignal>
#include <map>

#include "claimed.h"
#include "replay/hall.h"
#include "replay/recorder.h"

namespace grimbolt {
namespace {

Recording game(const QString& name, std::int32_t score) {
    return claimed_game(name, score);
}

struct Folder {
    QTemporaryDir dir;
    QStringList said;
    Hall hall{dir.path() + "/hall", [this](const QString& what) { said.push_back(what); }, claimed};
    QString path(const QString& file) const { return hall.folder() + '/' + file; }
    std::vector<std::int32_t> scores() {
        std::vector<std::int32_t> out;
        for (const HallEntry& e : hall.entries())
            out.push_back(e.score);
        return out;
    }
};

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Hall, KeepsTheTenBestEachGameOnce) {
    Folder f;
    for (int i = 0; i < 12; ++i)
        f.hall.offer(game(QString("g%1").arg(i), (i * 7 % 12) * 100));
    EXPECT_EQ(f.scores(),
              (std::vector<std::int32_t>{1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200}));
    // The games pushed out are gone, with their files; the index lists the rest.
    EXPECT_EQ(QDir(f.hall.folder()).entryList({"*.script"}).size(), 10);
    EXPECT_FALSE(f.hall.offer(game("low", 200)));  // a tie with the tenth earns nothing
    // The same game, gone on after a death, takes its own place again.
    EXPECT_TRUE(f.hall.offer(game("g3", 0)));
    EXPECT_TRUE(f.hall.offer(game("g1", 5000)));
    EXPECT_TRUE(f.hall.offer(game("g1", 4000)));
    const std::vector<HallEntry> entries = f.hall.entries();
    EXPECT_EQ(entries.front(), (HallEntry{"g1.40-1.script",
                                          5000,
                                          "2026-12-08T10:00:00",
                                          40,
                                          2,
                                          HallEntry::Proven,
                                          "classic",
                                          {}}));
    EXPECT_EQ(entries.size(), 10u);
    EXPECT_TRUE(f.said.isEmpty()) << f.said.join('\n').toStdString();
}

TEST(Hall, AnIndexDamagedOrMissingIsMadeAgainFromTheRecordings) {
    Folder f;
    for (int i = 1; i <= 3; ++i)
        f.hall.offer(game(QString("g%1").arg(i), i * 100));
    const QString index = f.path("index.json");
    write(index, "{\"entries\": [{\"file\": \"g1.script\", \"score\": \"lots\"}");
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 200, 100}));
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 200, 100}));
    ASSERT_EQ(f.said.size(), 1) << "one message";
    EXPECT_TRUE(f.said[0].contains("index.json.bad"));
    QFile bad(index + ".bad");
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bad.readAll().contains("lots"));

    // Missing, or behind the files (a write cut short after the recording): made again
    // quietly, nothing damaged to keep.
    QFile::remove(index);
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 200, 100}));
    EXPECT_TRUE(QFile::exists(index));
    QFile::copy(f.path("g1.40.script"), f.path("copy.script"));
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 200, 100, 100}));
    EXPECT_EQ(f.said.size(), 1);
}

TEST(Hall, ADamagedRecordingIsPutAsideAndStopsNoOther) {
    Folder f;
    f.hall.offer(game("good", 300));
    write(f.path("torn.script"), "recording 1\nseed 12\nscore 99\x01\xff\n");
    write(f.path("alien.script"), "tick 5\n");
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300}));
    EXPECT_EQ(f.said.size(), 2);
    EXPECT_TRUE(QFile::exists(f.hall.folder() + "/damaged/torn.script"));
    EXPECT_TRUE(QFile::exists(f.hall.folder() + "/damaged/alien.script"));
    EXPECT_TRUE(f.hall.offer(game("next", 100)));
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 100}));
}

// A full disk, a folder that cannot be made or written: the game goes on, the player
// hears of it once, and every game kept before stays.
TEST(Hall, NoRoomSaysSoOnceAndLosesNothing) {
    Folder f;
    ASSERT_TRUE(f.hall.offer(game("kept", 500)));
    Recording big = game("big", 900);
    big.events.assign(20000, {Command::Tick, 3, 0});
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool first = f.hall.offer(big);
    const bool second = f.hall.offer(big);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(f.said.size(), 1) << f.said.join('\n').toStdString();
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{500}));
    EXPECT_EQ(QDir(f.hall.folder()).entryList(QDir::Files).filter(".script").size(), 1);

    QTemporaryDir other;
    write(other.path() + "/Grimbolt", "a file where the folder would be");
    QStringList said;
    Hall nowhere(
        other.path() + "/Grimbolt/hall", [&](const QString& w) { said.push_back(w); }, claimed);
    EXPECT_FALSE(nowhere.offer(game("lost", 100)));
    EXPECT_TRUE(nowhere.entries().empty());
    EXPECT_EQ(said.size(), 1);

    if (geteuid() != 0) {  // root writes into a read-only folder all the same
        QFile::setPermissions(f.hall.folder(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(f.hall.offer(game("late", 700)));
        EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{500}));
        QFile::setPermissions(f.hall.folder(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

QString writer() {
    return QStringLiteral(GRIMBOLT_HALL_WRITER);
}

// The games each writer says it kept, by name.
std::map<QString, int> kept_by(QProcess& p) {
    std::map<QString, int> kept;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 3 && words[0] == "kept")
            kept[QString::fromUtf8(words[1])] = words[2].toInt();
    }
    return kept;
}

TEST(Hall, TwoGamesEndingAtOnceBothTakeTheirPlace) {
    Folder f;
    for (int round = 0; round < 5; ++round) {
        QProcess a;
        QProcess b;
        const QString r = QString::number(round);
        a.start(writer(), {f.hall.folder(), "a" + r, QString::number(1000 + round), "1", "0"});
        b.start(writer(), {f.hall.folder(), "b" + r, QString::number(2000 + round), "1", "0"});
        ASSERT_TRUE(a.waitForFinished(20000) && b.waitForFinished(20000));
        EXPECT_EQ(kept_by(a).size(), 1u);
        EXPECT_EQ(kept_by(b).size(), 1u);
    }
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{2004, 2003, 2002, 2001, 2000, 1004, 1003, 1002,
                                                     1001, 1000}));
    EXPECT_TRUE(f.said.isEmpty());
}

// A writer killed at any moment: every game it said it kept is there afterwards, whole,
// unless ten better ones it kept later pushed it out.
TEST(HallKilled, EveryKeptGameSurvivesAKillAtAnyMoment) {
    const int kills = qEnvironmentVariableIntValue("GRIMBOLT_HALL_KILLS");
    Folder f;
    std::map<QString, int> kept;
    int score = 0;
    QRandomGenerator random(12345);
    for (int k = 0; k < (kills > 0 ? kills : 40); ++k) {
        QProcess p;
        p.start(writer(),
                {f.hall.folder(), "k" + QString::number(k), QString::number(score), "50", "10"});
        ASSERT_TRUE(p.waitForStarted());
        QThread::usleep(random.bounded(2000, 60000));
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        const std::map<QString, int> now = kept_by(p);
        kept.insert(now.begin(), now.end());
        score += 500;

        const std::vector<HallEntry> entries = f.hall.entries();
        ASSERT_TRUE(f.said.isEmpty()) << k << ": " << f.said.join('\n').toStdString();
        for (const auto& [name, s] : kept) {
            const bool there = std::any_of(entries.begin(), entries.end(), [&](const HallEntry& e) {
                return e.file.startsWith(name + '.') && e.score == s;
            });
            // A game kept after it, and killed before it said so, may have pushed it out.
            const bool outdone = entries.size() == Hall::kPlaces && entries.back().score > s;
            ASSERT_TRUE(there || outdone) << "kill " << k << " lost " << name.toStdString();
        }
    }
    EXPECT_GT(kept.size(), 10u);
    EXPECT_TRUE(QDir(f.hall.folder() + "/damaged").isEmpty());
}

}  // namespace
}  // namespace grimbolt
