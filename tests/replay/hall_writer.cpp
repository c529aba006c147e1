// grimbolt-hall-writer FOLDER NAME FIRST COUNT STEP: offers COUNT recorded games to the
// hall in FOLDER, named NAME-0, NAME-1..., scoring FIRST, FIRST + STEP, ..., and prints
// "kept NAME-I SCORE" for each the hall took. The hall tests kill it at random moments
// and start two at once.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "claimed.h"
#include "replay/hall.h"
#include "replay/recording.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 6)
        return 2;
    const QString name = QString::fromLocal8Bit(argv[2]);
    const int first = std::atoi(argv[3]);
    const int count = std::atoi(argv[4]);
    const int step = std::atoi(argv[5]);
    grimbolt::Hall hall(
        QString::fromLocal8Bit(argv[1]),
        [](const QString& what) { std::fprintf(stderr, "%s\n", qPrintable(what)); },
        grimbolt::claimed);
    for (int i = 0; i < count; ++i) {
        grimbolt::Recording r =
            grimbolt::claimed_game(name + '-' + QString::number(i), first + i * step, 4000);
        // Long enough that a write takes a while to be cut short in.
        for (int k = 0; k < 2000; ++k) {
            r.events.push_back({grimbolt::Command::KeyDown, 37, 0});
            r.events.push_back({grimbolt::Command::Tick, 2, 0});
        }
        if (hall.offer(r)) {
            std::printf("kept %s %d\n", qPrintable(r.name), r.header.score);
            std::fflush(stdout);
        }
    }
    return 0;
}
