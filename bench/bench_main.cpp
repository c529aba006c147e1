// The game's speed: one tick under a typical and under the heaviest load, the full
// redraw, the memory floor for the heaviest tick, the rate the real window keeps at a
// 1 ms tick period (also while it records the game), and proving a recorded game.
//   build/grimbolt-bench [--benchmark_repetitions=5 ...]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "delivered_rate.h"
#include "online_bench.h"
#include "record_bench.h"
#include "scene.h"

namespace grimbolt::bench {
namespace {

struct Resolution {
    int width;
    int height;
};
constexpr Resolution k1080p{1920, 1080};
constexpr Resolution k2160p{3840, 2160};

// How a tick is drawn: on the game's thread alone or shared with the helper, on an
// idle machine or beside two busy threads.
struct Way {
    bool helper;
    int busy;
};

// One tick from the same state every time, so the load stays what the scene says.
void tick_way(benchmark::State& state, Resolution res, Load load, Way way) {
    Scene scene(res.width, res.height, load);
    Game& game = scene.game;
    game.screen.set_helper(way.helper);
    const Competition others(way.busy);
    std::uint64_t touched = 0;
    for (auto _ : state) {
        game.s = scene.start;
        const std::uint64_t before = game.screen.stats().pixels_touched;
        game.Timer1_Timer();
        game.screen.flush();
        touched = game.screen.stats().pixels_touched - before;
        benchmark::DoNotOptimize(game.s.score);
    }
    state.counters["pixels"] = double(touched);
}

void tick(benchmark::State& state, Resolution res, Load load) {
    tick_way(state, res, load, Way{true, 0});
}

// The one-thread and the helper paths in turns, 64 ticks each, so that both meet the
// same moments of a noisy machine: their times and the ratio of the helper's to the
// one thread's.
void ways_in_turns(benchmark::State& state, Resolution res, Load load, int busy) {
    Scene alone(res.width, res.height, load);
    Scene shared(res.width, res.height, load);
    alone.game.screen.set_helper(false);
    const Competition others(busy);
    double alone_ns = 0, shared_ns = 0;
    std::uint64_t turns = 0;
    const auto run = [](Scene& scene) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 64; ++i) {
            scene.game.s = scene.start;
            scene.game.Timer1_Timer();
            scene.game.screen.flush();
        }
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
            .count();
    };
    for (auto _ : state) {
        alone_ns += run(alone);
        shared_ns += run(shared);
        ++turns;
    }
    const double ticks = double(turns) * 64;
    state.counters["one_us"] = alone_ns / ticks / 1000;
    state.counters["helper_us"] = shared_ns / ticks / 1000;
    state.counters["helper_over_one"] = alone_ns > 0 ? shared_ns / alone_ns : 0;
}

void redraw_all(benchmark::State& state, Resolution res) {
    Scene scene(res.width, res.height, kTypical);
    for (auto _ : state) {
        scene.game.redraw_all();
        benchmark::DoNotOptimize(scene.game.screen.image().constBits());
    }
}

// Reads and writes as many picture pixels as the heaviest tick touches, in one tight
// loop with no game in it: the floor set by memory.
void pixel_limit(benchmark::State& state, Resolution res, Load load) {
    Scene scene(res.width, res.height, load);
    std::uint64_t count = 0;
    for (int warm = 0; warm < 3; ++warm) {  // the count of a tick like the measured ones
        scene.game.s = scene.start;
        const std::uint64_t before = scene.game.screen.stats().pixels_touched;
        scene.game.Timer1_Timer();
        scene.game.screen.flush();
        count = scene.game.screen.stats().pixels_touched - before;
    }

    // A picture of its own, of the game's size and format: the canvas's is the canvas's.
    QImage image = scene.game.screen.image().copy();
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    const std::uint64_t size = std::uint64_t(image.width()) * image.height();
    std::uint32_t salt = 1;
    for (auto _ : state) {
        std::uint64_t left = count;
        while (left > 0) {
            const std::uint64_t n = std::min(left, size);
            for (std::uint64_t i = 0; i < n; ++i)
                pixels[i] |= salt;
            left -= n;
        }
        salt ^= 1;
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = double(count);
}

void delivered(benchmark::State& state, bool helper, bool recorded, int busy) {
    DeliveredRate result;
    const Competition others(busy);
    for (auto _ : state)
        result = measure_delivered_rate(1, 5000, helper, recorded);
    state.counters["ticks_per_s"] = result.ticks_per_second;
    state.counters["frame_share_per_tick"] = result.frame_share_per_tick;
    state.counters["cpu_us_per_tick"] = result.cpu_us_per_tick;
}

// Min and max beside the median and mean, when run with --benchmark_repetitions.
benchmark::internal::Benchmark* with_range(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
    return b;
}

void register_all() {
    with_range(benchmark::RegisterBenchmark("tick_typical/1080p", tick, k1080p, kTypical))
        ->Unit(benchmark::kMicrosecond);
    with_range(benchmark::RegisterBenchmark("tick_worst/1080p", tick, k1080p, kWorst))
        ->Unit(benchmark::kMicrosecond);
    with_range(benchmark::RegisterBenchmark("tick_worst/2160p", tick, k2160p, kWorst))
        ->Unit(benchmark::kMicrosecond);
    with_range(benchmark::RegisterBenchmark("redraw_all/1080p", redraw_all, k1080p))
        ->Unit(benchmark::kMillisecond);
    with_range(benchmark::RegisterBenchmark("redraw_all/2160p", redraw_all, k2160p))
        ->Unit(benchmark::kMillisecond);
    with_range(benchmark::RegisterBenchmark("pixel_limit_worst/1080p", pixel_limit, k1080p, kWorst))
        ->Unit(benchmark::kMicrosecond);
    for (const auto& [name, helper, recorded, busy] :
         {std::tuple{"delivered_rate_1ms/one", false, false, 0},
          std::tuple{"delivered_rate_1ms/helper", true, false, 0},
          std::tuple{"delivered_rate_1ms/helper/recorded", true, true, 0},
          std::tuple{"delivered_rate_1ms/helper/busy", true, false, 2},
          std::tuple{"delivered_rate_1ms/helper/recorded/busy", true, true, 2}}) {
        with_range(benchmark::RegisterBenchmark(name, delivered, helper, recorded, busy))
            ->Unit(benchmark::kSecond)
            ->Iterations(1)
            ->UseRealTime();
    }

    for (const int busy : {0, 2}) {
        for (const auto& [name, res, load] : {std::tuple{"typical/1080p", k1080p, kTypical},
                                              std::tuple{"worst/1080p", k1080p, kWorst},
                                              std::tuple{"typical/2160p", k2160p, kTypical},
                                              std::tuple{"worst/2160p", k2160p, kWorst}}) {
            const std::string full = std::string("turns/") + name + (busy > 0 ? "/busy" : "/idle");
            with_range(benchmark::RegisterBenchmark(full.c_str(), ways_in_turns, res, load, busy))
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
        }
    }

    // The helper beside the game's thread alone, in the same run: idle, and with two
    // busy threads competing for the cores.
    struct Case {
        const char* name;
        Resolution res;
        Load load;
    };
    for (const Case& c :
         {Case{"typical/1080p", k1080p, kTypical}, Case{"worst/1080p", k1080p, kWorst},
          Case{"worst/2160p", k2160p, kWorst}}) {
        for (const int busy : {0, 2}) {
            for (const bool helper : {false, true}) {
                const std::string name = std::string("ways/") + c.name +
                                         (helper ? "/helper" : "/one") +
                                         (busy > 0 ? "/busy" : "/idle");
                with_range(benchmark::RegisterBenchmark(name.c_str(), tick_way, c.res, c.load,
                                                        Way{helper, busy}))
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
            }
        }
    }

    // How the tick grows with the number of monsters and with the blast size.
    for (const int vrags : {0, 11, 25, 51}) {
        Load load = kWorst;
        load.vrags = vrags;
        with_range(benchmark::RegisterBenchmark(("growth/vrags:" + std::to_string(vrags)).c_str(),
                                                tick, k1080p, load))
            ->Unit(benchmark::kMicrosecond);
    }
    for (const int blast : {500, 1000, 2000, 4000}) {
        Load load = kWorst;
        load.blast_size = blast;
        with_range(benchmark::RegisterBenchmark(
                       ("growth/blast_size:" + std::to_string(blast)).c_str(), tick, k1080p, load))
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace
}  // namespace grimbolt::bench

int main(int argc, char** argv) {
    // The window of the delivered-rate run needs no display: an offscreen one of
    // 1920 x 1080 pixels stands in for it.
    QTemporaryFile screens;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && screens.open()) {
        screens.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920,
            "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    grimbolt::bench::register_all();
    grimbolt::bench::register_recording();
    grimbolt::bench::register_online();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
