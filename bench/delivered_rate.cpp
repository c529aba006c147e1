#include "delivered_rate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <ctime>

#include "replay/recorder.h"
#include "scene.h"
#include "shell/mainfrm.h"
#include "shell/surface_view.h"

namespace grimbolt::bench {
namespace {

// Keeps two bullets in flight and one explosion growing, as in typical play.
void top_up(Game& game, std::uint32_t tick) {
    GameState& s = game.s;
    int pulls = 0;
    for (const Pull& p : s.pulls)
        pulls += p.dir != 0;
    for (; pulls < 2; ++pulls)
        game.add_pull(s.hero_pos[0], s.ground_y - 700 - pulls * 60, s.direction);
    bool blast = false;
    for (const Vzriv& v : s.vzrivs)
        blast = blast || v.r != 0;
    if (!blast) {
        const std::int32_t width = game.platform().display.screen_size().width;
        game.add_vzriv(std::int32_t(tick * 7919u % std::uint32_t(std::max(width, 1))), 2100);
    }
}

}  // namespace

static double process_cpu_us() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

DeliveredRate measure_delivered_rate(int period_ms, int duration_ms, bool helper, bool recorded) {
    SkyRandom sky;
    GameClock clock;
    Mainfrm window(sky.random, clock);
    Recorder recorder(window.game(), clock);
    if (recorded) {
        window.add_tap(recorder);
        recorder.begin();
    }
    window.show_maximized();
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();

    Game& game = window.game();
    game.screen.set_helper(helper);
    set_scene(game, kTypical);
    game.s.vrag_count = 10;  // eleven rows, refilled as monsters leave
    game.s.vrag_spawn = 0;
    window.Timer1().set_interval(period_ms);
    window.Timer1().set_enabled(true);

    std::uint32_t ticks = 0;
    // Connected after the window's own tick, so this runs after each tick.
    QObject::connect(&window.Timer1().qtimer(), &QTimer::timeout, &window, [&] {
        ++ticks;
        top_up(game, ticks);
        if (!window.Timer1().enabled())
            window.Timer1().set_enabled(true);  // no shop or death ends the run
    });

    const std::uint64_t painted_before = window.view()->painted_pixels();
    const double cpu_before = process_cpu_us();
    QElapsedTimer clock_ms;
    clock_ms.start();
    QEventLoop run;
    QTimer::singleShot(duration_ms, &run, &QEventLoop::quit);
    run.exec();
    const double seconds = clock_ms.nsecsElapsed() / 1e9;
    const double cpu = process_cpu_us() - cpu_before;

    const double frame = double(window.view()->width()) * window.view()->height();
    const double painted = double(window.view()->painted_pixels() - painted_before);
    DeliveredRate out;
    out.ticks_per_second = ticks / seconds;
    out.frame_share_per_tick = ticks > 0 && frame > 0 ? painted / frame / ticks : 0;
    out.cpu_us_per_tick = ticks > 0 ? cpu / ticks : 0;
    return out;
}

}  // namespace grimbolt::bench
