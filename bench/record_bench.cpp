// What recording costs the game, and how fast a recorded game is proven.
//   record_turns/*: a tick alone and a tick with the recorder hearing of it, in turns
//   verify/12000_ticks: a 10-minute game at the default period played again headless
//   verify/largest/*: the costliest recordings a proof accepts, each at the limit of the
//   steps of play on the largest display: redraws, new games, ticks with the speed
//   dialog bringing the game back after each death; the target is at most 2 s

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <string>

#include "core/keys.h"
#include "record_bench.h"
#include "replay/proof.h"
#include "replay/recorder.h"
#include "replay/session.h"
#include "scene.h"

namespace grimbolt::bench {
namespace {

// A tick with and without the recorder, 64 of each in turns, so both meet the same
// moments of a noisy machine.
void record_turns(benchmark::State& state, const Load& load, int busy) {
    Scene plain(1920, 1080, load);
    Scene recorded(1920, 1080, load);
    const Competition others(busy);
    GameClock clock;
    Recorder recorder(recorded.game, clock);
    recorder.begin();
    double plain_ns = 0, recorded_ns = 0;
    std::uint64_t turns = 0;
    const auto run = [](Scene& scene, Recorder* r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 64; ++i) {
            scene.game.s = scene.start;
            const ScriptEvent tick{Command::Tick, 1, 0};
            if (r != nullptr)
                r->before(tick);
            scene.game.Timer1_Timer();
            if (r != nullptr)
                r->after(tick);
            scene.game.screen.flush();
        }
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
            .count();
    };
    for (auto _ : state) {
        plain_ns += run(plain, nullptr);
        recorded_ns += run(recorded, &recorder);
        ++turns;
    }
    const double ticks = double(turns) * 64;
    state.counters["plain_us"] = plain_ns / ticks / 1000;
    state.counters["recorded_us"] = recorded_ns / ticks / 1000;
    state.counters["recorded_over_plain"] = plain_ns > 0 ? recorded_ns / plain_ns : 0;
}

// A busy player's ten minutes on a 1080p display: walking both ways, jumping, raising
// the gun and firing, with a pass through the speed dialog now and then, and always
// after the robot is shot down, which brings the game back (the classic's way).
std::string ten_minutes() {
    std::mt19937 random(2026);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::int32_t keys[] = {key::Left, key::Right, key::X, key::Z, key::Shift};
    const std::string start =
        "display 1920 1080\nwindow 1920 1080\npicture 1916 1034\nperiod 50\nload\nactivate\n";
    const Script header = parse_script("recording 2\nseed 43200\n");
    Session game(header.header, false);
    std::string events = start;
    game.play(parse_script(start).events);
    const auto add = [&](const std::string& lines) {
        events += lines;
        game.play(parse_script(lines).events);
    };
    int ticks = 0;
    while (ticks < 12000) {
        const std::int32_t k = keys[pick(0, 4)];
        const int held = std::min(pick(1, 8), 12000 - ticks);
        if (!game.timer_running() || pick(0, 99) < 2)
            add("speed\nok\npaint\n");
        add("down " + std::to_string(k) + "\n");
        // No tick after the one that shot the robot down: that one ends the hold.
        for (int i = 0; i < held && game.timer_running(); ++i, ++ticks)
            add("tick\n");
        add("up " + std::to_string(k) + "\n");
    }
    return "recording 2\nrules 1\nseed 43200\nscore " + std::to_string(game.game().s.score) +
           "\ndate 2026-12-08T10:00:00\nticks 12000\nseconds 600\n" + events;
}

void verify_ten_minutes(benchmark::State& state) {
    const std::string text = ten_minutes();
    Verdict verdict;
    for (auto _ : state)
        benchmark::DoNotOptimize(verdict = verify(text));
    if (verdict.outcome == Verdict::Refused || verdict.outcome == Verdict::Unreadable)
        state.SkipWithError(verdict.why.c_str());
    state.counters["played_s"] = 600;
    // How many times faster than it was played: the played 600 s over the time taken.
    state.counters["times_faster"] =
        benchmark::Counter(600.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// A recording at the limit of the steps of play, of one costly kind, on an 8K display.
std::string largest(const std::string& kind) {
    std::string text =
        "recording 2\nrules 1\nseed 43200\nscore 0\ndate 2026-12-08T10:00:00\nticks 0\n"
        "seconds 0\ndisplay 7680 4320\nwindow 7680 4320\npicture 7680 4320\nperiod 1\n"
        "load\n";
    std::vector<ScriptEvent> events{{Command::Load, 0, 0}};
    // The ticks are played as they are written, so that none comes after a death.
    Session game(parse_script(text).header, false);
    game.play(parse_script(text).events);
    const auto add = [&](std::string lines, std::vector<ScriptEvent> more) {
        std::vector<ScriptEvent> next = events;
        next.insert(next.end(), more.begin(), more.end());
        if (steps_of(next) > kRecordingMostSteps)
            return false;
        events = std::move(next);
        text += lines;
        return true;
    };
    for (int i = 0;; ++i) {
        bool more = false;
        if (kind == "paints")
            more = add("paint 100\n", {{Command::Paint, 100, 0}});
        else if (kind == "resizes")
            more = add("resize 7680 4320\n", {{Command::Resize, 7680, 4320}});
        else if (kind == "new_games")
            more = add("clock " + std::to_string(i % kSecondsPerDay) + "\nnew\n",
                       {{Command::Clock, 0, 0}, {Command::NewGame, 0, 0}});
        else {
            // "Ок" restarts the ticks after a death; its redraw is drawn, and paid for,
            // by the next tick.
            game.play(parse_script("down 16 1\nspeed\nok\n").events);
            int ticks = 0;
            for (; ticks < 55 && game.timer_running(); ++ticks)
                game.play(ScriptEvent{Command::Tick, 1, 0});
            game.play(parse_script("down 39\nup 39\n").events);
            more = add("down 16 1\nspeed\nok\ntick " + std::to_string(ticks) + "\ndown 39\nup 39\n",
                       {{Command::Ok, 0, 0}, {Command::Activate, 0, 0}, {Command::Tick, ticks, 0}});
        }
        if (!more)
            return text;
    }
}

void verify_largest(benchmark::State& state, const std::string& kind) {
    const std::string text = largest(kind);
    Verdict verdict;
    for (auto _ : state)
        benchmark::DoNotOptimize(verdict = verify(text));
    // Refused before playing would measure nothing.
    if (verdict.outcome == Verdict::Refused || verdict.outcome == Verdict::Unreadable)
        state.SkipWithError(verdict.why.c_str());
}

}  // namespace

void register_recording() {
    for (const int busy : {0, 2}) {
        for (const auto& [name, load] :
             {std::pair{"typical/1080p", kTypical}, std::pair{"worst/1080p", kWorst}}) {
            const std::string full =
                std::string("record_turns/") + name + (busy > 0 ? "/busy" : "/idle");
            benchmark::RegisterBenchmark(full.c_str(), record_turns, load, busy)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
        }
    }
    for (const char* kind : {"paints", "resizes", "new_games", "ticks"}) {
        benchmark::RegisterBenchmark((std::string("verify/largest/") + kind).c_str(),
                                     verify_largest, std::string(kind))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
    benchmark::RegisterBenchmark("verify/12000_ticks", verify_ten_minutes)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2.0);
}

}  // namespace grimbolt::bench
