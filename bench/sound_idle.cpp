// What sound costs: the share of one core the enhanced game takes at the default tick
// with no input, without sound and with sound on but nothing playing, in turns, so that
// the machine's load falls on both alike; then the latency from asking for a sound to
// its first sample in the device's callback: over shots at uneven moments a few hundred
// ms apart (the device open), and over shots after a rest (the device closed, opened by
// the shot). Plays on the device SDL chooses (SDL_AUDIODRIVER picks one).
//
//   grimbolt-sound-idle [seconds per run] [rounds] [shots]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/enhanced.h"
#include "cpu_meter.h"
#include "fakes.h"
#include "shell/mainfrm.h"
#include "shell/sound/audio.h"

namespace {

using grimbolt::bench::cpu_seconds;
using grimbolt::bench::wait_ms;

struct Game {
    grimbolt::testing::FakeRandom random;
    grimbolt::testing::FakeClock clock;
    grimbolt::Mainfrm window{random, clock};
    std::unique_ptr<grimbolt::Audio> audio;

    explicit Game(bool sound) {
        random.span = 0;  // no roll ever brings a monster: the game ticks all through
        if (sound) {
            audio = std::make_unique<grimbolt::Audio>();
            if (!audio->start())
                std::fprintf(stderr, "no sound: %s\n", qPrintable(audio->error()));
        }
        new grimbolt::Enhanced(window, grimbolt::Options{}, {.audio = audio.get()});
        window.show_maximized();
    }
};

// Percent of one core over the run, after four seconds to settle: long enough for a
// quiet device to be closed.
double measure(bool sound, int seconds) {
    Game game(sound);
    wait_ms(4000);
    const double cpu0 = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    wait_ms(seconds * 1000);
    return 100.0 * (cpu_seconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
}

// Each shot's latency in ms, one shot at a time, at uneven moments `gap_ms` apart or a
// little more.
std::vector<double> latencies(int shots, int gap_ms) {
    grimbolt::Audio audio;
    if (!audio.start()) {
        std::fprintf(stderr, "no sound: %s\n", qPrintable(audio.error()));
        return {};
    }
    wait_ms(2000);
    std::vector<double> ms;
    for (int i = 0; i < shots; ++i) {
        wait_ms(gap_ms + (i * 37) % 113);
        const std::uint64_t started = audio.started();
        audio.play(grimbolt::Sound::Shot);
        QElapsedTimer wait;
        wait.start();
        while (audio.started() == started && wait.elapsed() < 500)
            wait_ms(1);
        ms.push_back(double(audio.last_latency_ns()) / 1e6);
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const int shots = argc > 3 ? std::max(1, std::atoi(argv[3])) : 50;
    std::printf("%% of one core, %d s a run, %d rounds, platform %s, audio driver %s\n", seconds,
                rounds, qPrintable(QGuiApplication::platformName()),
                qgetenv("SDL_AUDIODRIVER").isEmpty() ? "(SDL's choice)"
                                                     : qgetenv("SDL_AUDIODRIVER").constData());
    for (int round = 0; round < rounds; ++round) {
        const double silent = measure(false, seconds);
        const double sound = measure(true, seconds);
        std::printf("round %d: no sound %6.3f %%, sound on and idle %6.3f %%, difference %+.3f\n",
                    round + 1, silent, sound, sound - silent);
        std::fflush(stdout);
    }
    const auto report = [](const char* what, std::vector<double> ms) {
        if (ms.empty())
            return;
        std::sort(ms.begin(), ms.end());
        std::printf("latency, %s, %zu shots: median %.1f ms, 95th %.1f ms, worst %.1f ms\n", what,
                    ms.size(), ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
    };
    report("device open", latencies(shots, 97));
    report("after a rest", latencies(std::max(3, shots / 6), 3500));
    return 0;
}
