// What waiting for gamepads costs: the share of one core the program takes at the
// default tick with no input, without the pad reader, with it and no pad, and with a pad
// plugged in; and the reader alone, with no window. Runs in turns, so that the machine's
// load falls on every way alike. The pad is SDL's virtual joystick. No monster comes, so
// the robot lives and the game ticks at its default speed all through.
//
//   grimbolt-pad-idle [seconds per run] [rounds]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

#include "cpu_meter.h"
#include "fakes.h"
#include "shell/input/gamepad.h"
#include "shell/mainfrm.h"
#include "virtual_pad.h"

namespace {

using grimbolt::bench::cpu_seconds;
using grimbolt::bench::wait_ms;

struct Way {
    const char* name;
    bool window;
    bool reader;
    bool pad;
};

// Percent of one core over the run, after a second to settle.
double measure(const Way& way, int seconds) {
    grimbolt::testing::FakeRandom random;
    random.span = 0;  // no roll ever brings a monster
    grimbolt::testing::FakeClock clock;
    std::unique_ptr<grimbolt::Mainfrm> window;
    if (way.window) {
        window = std::make_unique<grimbolt::Mainfrm>(random, clock);
        window->show_maximized();
    }
    std::optional<grimbolt::testing::VirtualPad> pad;
    if (way.pad)
        pad.emplace();
    std::unique_ptr<grimbolt::Gamepad> reader;
    if (way.reader) {
        reader = std::make_unique<grimbolt::Gamepad>();
        if (!reader->start())
            std::fprintf(stderr, "no gamepads: %s\n", qPrintable(reader->error()));
        if (window)
            window->use_gamepad(*reader);
    }
    wait_ms(1000);
    if (reader && reader->pads() != int(way.pad))
        std::fprintf(stderr, "%s: %d pads open\n", way.name, reader->pads());
    const double cpu0 = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    wait_ms(seconds * 1000);
    return 100.0 * (cpu_seconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const Way ways[] = {
        {"game", true, false, false},
        {"game + reader, no pad", true, true, false},
        {"game + reader + pad", true, true, true},
        {"reader alone, no pad", false, true, false},
        {"reader alone + pad", false, true, true},
    };
    std::printf("%% of one core, %d s a run, %d rounds, platform %s\n", seconds, rounds,
                qPrintable(QGuiApplication::platformName()));
    for (int round = 0; round < rounds; ++round) {
        for (const Way& way : ways)
            std::printf("%-24s %6.3f %%\n", way.name, measure(way, seconds));
        std::fflush(stdout);
    }
    return 0;
}
