// Every input the fuzzer was seeded with, and every one that ever broke the game, is
// played again on each test run.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fuzz/fuzz_hall.h"
#include "fuzz/fuzz_play.h"
#include "replay/script.h"

namespace grimbolt {
namespace {

void play_all_in(const QString& folder, int& inputs) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const std::size_t events =
            parse_script(std::string_view(bytes.constData(), std::size_t(bytes.size())))
                .events.size();
        const int played = fuzz_play(bytes.constData(), std::size_t(bytes.size()));
        EXPECT_GE(played, std::min<int>(int(events), 1)) << name.toStdString();
        ++inputs;
    }
}

TEST(FuzzInputs, TheSeedsAndEveryFoundFaultPlayThrough) {
    int inputs = 0;
    play_all_in(QStringLiteral(GRIMBOLT_FUZZ_DIR "/corpus"), inputs);
    play_all_in(QStringLiteral(GRIMBOLT_FUZZ_DIR "/regressions"), inputs);
    EXPECT_GE(inputs, 8);
}

TEST(FuzzInputs, TheHallSeedsReadThrough) {
    const QDir dir(QStringLiteral(GRIMBOLT_FUZZ_DIR "/hall_corpus"));
    int played = 0;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        played += fuzz_hall(bytes.constData(), std::size_t(bytes.size()));
    }
    EXPECT_EQ(dir.entryList(QDir::Files).size(), 5);
    EXPECT_EQ(played, 3);  // the three recordings, of both formats
}

}  // namespace
}  // namespace grimbolt
