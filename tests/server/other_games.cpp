// Writes other real games for the server's tests to a folder: OUT/0.script ... each a
// different play that proves.
//   grimbolt-other-games RECORDED_GAME OUT COUNT

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "replay/proof.h"
#include "server/variants.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4)
        return 2;
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const std::string recorded = in.readAll().toStdString();
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const int count = std::atoi(argv[3]);
    // Each thread tries every other stop; plays that end alike are kept once.
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::vector<std::pair<std::uint64_t, std::string>>> found(
        static_cast<std::size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int n = t; n < 2 * count; n += threads) {
                const std::string game = grimbolt::server::other_game(recorded, n);
                if (!game.empty())
                    found[std::size_t(t)].emplace_back(grimbolt::verify(game).fingerprint, game);
            }
        });
    }
    for (std::thread& w : workers)
        w.join();
    std::vector<std::uint64_t> seen;
    int written = 0;
    for (const auto& list : found) {
        for (const auto& [print, game] : list) {
            if (written == count || std::find(seen.begin(), seen.end(), print) != seen.end())
                continue;
            seen.push_back(print);
            QFile file(out.filePath(QStringLiteral("%1.script").arg(written++)));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(game.data(), qint64(game.size())) < 0)
                return 1;
        }
    }
    std::printf("%d other games\n", written);
    return written == count ? 0 : 1;
}
