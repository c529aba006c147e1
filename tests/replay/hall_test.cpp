#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <csignal>
#include <map>

#include "claimed.h"
#include "replay/hall.h"
#include "replay/recording.h"

namespace grimbolt {
namespace {

Recording game(const QString& name, std::int32_t score) {
    return claimed_game(name, score);
}

struct Folder {
    QTemporaryDir dir;
    QStringList said;
    Hall hall{dir.path() + "/hall", [this](const QString& what) { said.push_back(what); }, claimed};
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
                                          5000,
                                          "2026-12-08T10:00:00",
                                          40,
                                          2,
                                          HallEntry::Proven,
                                          "classic",
                                          {}}));
    EXPECT_EQ(entries.size(), 10u);
    // The order is what a game earned: shopping spends points, never places.
    EXPECT_TRUE(f.hall.offer(claimed_game("shopper", 202, 40, 6000)));
    EXPECT_EQ(f.hall.entries().front().score, 202);
    EXPECT_EQ(f.hall.entries().front().earned, 6000);
    EXPECT_TRUE(f.said.isEmpty()) << f.said.join('\n').toStdString();
}

TEST(Hall, AnIndexDamagedOrMissingIsMadeAgainFromTheRecordings) {
    Folder f;
    for (int i = 1; i <= 3; ++i)
        f.hall.offer(game(QString("g%1").arg(i), i * 100));
    const QString index = f.hall.index_path();
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
    QFile::copy(f.hall.path_of("g1.40.script"), f.hall.path_of("copy.script"));
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300, 200, 100, 100}));
    EXPECT_EQ(f.said.size(), 1);
}

TEST(Hall, ADamagedRecordingIsPutAsideAndStopsNoOther) {
    Folder f;
    f.hall.offer(game("good", 300));
    write(f.hall.path_of("torn.script"), "recording 1\nseed 12\nscore 99\x01\xff\n");
    write(f.hall.path_of("alien.script"), "tick 5\n");
    EXPECT_EQ(f.scores(), (std::vector<std::int32_t>{300}));
    EXPECT_EQ(f.said.size(), 2);
    EXPECT_TRUE(QDir(f.hall.aside_folder()).exists("torn.script"));
    EXPECT_TRUE(QDir(f.hall.aside_folder()).exists("alien.script"));
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
    // A writer left alone, timed: the kills fall anywhere within its whole run, however
    // fast this build is (a sanitized build on a busy machine takes many times longer).
    QElapsedTimer timer;
    timer.start();
    QProcess alone;
    alone.start(writer(), {f.hall.folder(), "alone", "-100", "10", "1"});  // below all others
    ASSERT_TRUE(alone.waitForFinished(60000));
    kept = kept_by(alone);
    const auto whole_run_us = std::clamp<qint64>(timer.nsecsElapsed() / 1000, 60000, 500000);
    for (int k = 0; k < (kills > 0 ? kills : 40); ++k) {
        QProcess p;
        p.start(writer(),
                {f.hall.folder(), "k" + QString::number(k), QString::number(score), "50", "10"});
        ASSERT_TRUE(p.waitForStarted());
        QThread::usleep(random.bounded(qint64(2000), whole_run_us));
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
    // The lone writer's ten, and at least one of a killed writer's: kills fell after games
    // were kept too (a sanitized build keeps only a few before its kills land).
    EXPECT_GT(kept.size(), 10u);
    EXPECT_TRUE(QDir(f.hall.aside_folder()).isEmpty());
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

Recording real_game(const QString& name) {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const Script script = parse_script({text.constData(), std::size_t(text.size())});
    return Recording{script.header, script.events, name};
}

// Files dropped into the hall and an index edited by hand claim what they like: the hall
// ranks, shows and pushes out by proofs alone.
TEST(HallAttacked, ClaimsNeitherRankNorPushOutProvenGames) {
    QTemporaryDir dir;
    QStringList said;
    Hall hall(dir.path() + "/hall", [&](const QString& w) { said.push_back(w); });
    ASSERT_TRUE(hall.offer(real_game("real")));
    const std::string boasted = real_game("x").text().replace(
        real_game("x").text().find("score 1000"), 10, "score 2147483647");
    for (int i = 0; i < 12; ++i)
        write(hall.path_of(QString("boast%1.script").arg(i)), QByteArray::fromStdString(boasted));
    std::vector<HallEntry> entries = hall.entries();
    ASSERT_EQ(entries.size(), 13u);
    EXPECT_EQ(entries[0].standing, HallEntry::Proven);
    EXPECT_EQ(entries[0].score, 1000);
    for (std::size_t i = 1; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].standing, HallEntry::Unproven) << i;

    // An index that claims more for the real game changes nothing shown.
    QFile index(hall.index_path());
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    QByteArray json = index.readAll().replace("\"score\": 1000", "\"score\": 99999999");
    index.resize(0);
    index.write(json);
    index.close();
    EXPECT_EQ(hall.entries()[0].score, 1000);

    // Nine more real games fill the hall; none of them, nor the first, is pushed out by
    // the boasts, and the boasts stay listed below them.
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(hall.offer(real_game(QString("more%1").arg(i))));
    entries = hall.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const HallEntry& e) { return e.standing == HallEntry::Proven; }),
              10);
    EXPECT_EQ(entries.size(), 22u);
    // A forged game offered is not kept at all.
    Recording forged = real_game("forged");
    forged.header.score = 5000;
    EXPECT_FALSE(hall.offer(forged));
    EXPECT_EQ(said.size(), 1) << said.join('\n').toStdString();
}

// The hall never follows a link, reads a device or waits on a lock that is no file.
TEST(HallAttacked, LinksDevicesAndOddLocksAreLeftAlone) {
    struct Case {
        const char* what;
        std::function<void(const Hall& hall, const QString& outside)> plant;
    };
    const Case cases[] = {
        {"damaged/ a link to another folder",
         [](const Hall& hall, const QString& outside) {
             QFile::link(outside, hall.aside_folder());
             write(hall.path_of("torn.script"), "recording 2\nseed 1\nscore 9\x01\n");
         }},
        {"index.json a link to another file",
         [](const Hall& hall, const QString& outside) {
             QFile::remove(hall.index_path());
             QFile::link(outside + "/precious", hall.index_path());
         }},
        {"index.json a link to another file, its aside name taken by a folder",
         [](const Hall& hall, const QString& outside) {
             QFile::remove(hall.index_path());
             QDir().mkpath(hall.index_path() + ".bad/x");
             QFile::link(outside + "/precious", hall.index_path());
         }},
        {"a recording that is a link to /dev/zero",
         [](const Hall& hall, const QString&) {
             QFile::link("/dev/zero", hall.path_of("zero.script"));
         }},
        {"a recording that is a link to a file outside",
         [](const Hall& hall, const QString& outside) {
             QFile::link(outside + "/precious", hall.path_of("outside.script"));
         }},
        {"a FIFO among the recordings",
         [](const Hall& hall, const QString&) {
             ::mkfifo(QFile::encodeName(hall.path_of("fifo.script")).constData(), 0600);
         }},
        {"a lock that is a folder",
         [](const Hall& hall, const QString&) { QDir().mkdir(hall.lock_path()); }},
        {"a lock that is a gigabyte of nothing",
         [](const Hall& hall, const QString&) {
             QFile lock(hall.lock_path());
             ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
             lock.resize(qint64(1) << 30);
         }},
        {"a lock that is a dangling link",
         [](const Hall& hall, const QString&) {
             QFile::link(hall.path_of("nowhere"), hall.lock_path());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QTemporaryDir outside;
        write(outside.path() + "/precious", "precious\n");
        QStringList said;
        Hall hall(
            dir.path() + "/hall", [&](const QString& w) { said.push_back(w); }, claimed);
        ASSERT_TRUE(hall.offer(claimed_game("first", 300)));
        c.plant(hall, outside.path());
        QElapsedTimer clock;
        clock.start();
        const bool second = hall.offer(claimed_game("second", 500));
        const std::vector<HallEntry> entries = hall.entries();
        EXPECT_LT(clock.elapsed(), 3000) << "no wait on a lock that is no file";
        QFile precious(outside.path() + "/precious");
        ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
        EXPECT_EQ(precious.readAll(), "precious\n");
        EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files).size(), 1);
        const bool lock_broken = QString(c.what).contains("lock");
        EXPECT_EQ(second, !lock_broken);
        ASSERT_GE(entries.size(), 1u);
        EXPECT_EQ(entries[0].score, lock_broken ? 300 : 500);
        EXPECT_LE(said.size(), 2) << said.join('\n').toStdString();
        EXPECT_GE(said.size(), 1);
        for (const QString& line : said)
            EXPECT_FALSE(line.contains(QChar(0x1b)));
    }
}

// A full disk: the new game is not kept, says so once, and nothing kept before is lost
// or left empty, whatever the save file reports too late.
TEST(HallAttacked, AFullDiskLosesNothing) {
    if (geteuid() != 0)
        GTEST_SKIP() << "a small tmpfs needs root to mount";
    QTemporaryDir dir;
    const QByteArray where = QFile::encodeName(dir.path());
    ASSERT_EQ(::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k"), 0);
    QStringList said;
    {
        Hall hall(
            dir.path() + "/hall", [&](const QString& w) { said.push_back(w); }, claimed);
        ASSERT_TRUE(hall.offer(claimed_game("kept", 300)));
        // Fill the disk, then free one page: room for the lock, not for the recording.
        const QByteArray filler = QFile::encodeName(dir.path() + "/filler");
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const std::string page(4096, 'x');
        off_t written = 0;
        while (::write(fd, page.data(), page.size()) == ssize_t(page.size()))
            written += off_t(page.size());
        ASSERT_EQ(::ftruncate(fd, written - off_t(page.size())), 0);
        ::close(fd);
        Recording big = claimed_game("big", 900);
        big.events.assign(1000, {Command::Tick, 3, 0});  // past the free page, within a buffer
        EXPECT_FALSE(hall.offer(big));
        EXPECT_FALSE(hall.offer(big));
        const std::vector<HallEntry> entries = hall.entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].score, 300);
        for (const QFileInfo& f : QDir(hall.folder()).entryInfoList(QDir::Files))
            EXPECT_GT(f.size(), 0) << f.fileName().toStdString();
        EXPECT_EQ(said.size(), 1) << said.join('\n').toStdString();
        EXPECT_TRUE(said.value(0).contains("full")) << said.value(0).toStdString();
    }
    ::umount(where.constData());
}

}  // namespace
}  // namespace grimbolt
