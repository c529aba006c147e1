// grimbolt-outbox-writer FOLDER NAME COUNT: puts COUNT recordings named NAME-0, NAME-1...
// into the outbox in FOLDER and prints "put KEY" for each that is there. The outbox's
// tests kill it at random moments.

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "shell/online/outbox.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    grimbolt::Outbox outbox(QString::fromLocal8Bit(argv[1]));
    const QByteArray name(argv[2]);
    for (int i = 0; i < std::atoi(argv[3]); ++i) {
        // Long enough that a write takes a while to be cut short in.
        QByteArray game = "recording 2\n# " + name + '-' + QByteArray::number(i) + '\n';
        while (game.size() < 200'000)
            game += "down 37 0\ntick 2\n";
        if (outbox.put(game)) {
            std::printf("put %s\n", qPrintable(grimbolt::Outbox::key_of(game)));
            std::fflush(stdout);
        }
    }
    return 0;
}
