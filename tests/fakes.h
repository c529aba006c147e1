#pragma once
// The platform as the tests and the benchmarks fix it: a timer, a display, a generator
// and a clock that they control; and a game on such a display.

#include <cstdint>
#include <deque>

#include "core/game.h"
#include "core/system_platform.h"

namespace grimbolt::testing {

using FakeTimer = HeldTimer;

class FakeDisplay final : public Display {
  public:
    FakeDisplay() = default;
    FakeDisplay(int width_px, int height_px)
        : screen{width_px * kTwipsPerPixel, height_px * kTwipsPerPixel}, window(screen) {}
    Size screen_size() const override { return screen; }
    Size window_size() const override { return window; }

    Size screen{15360, 11520};  // 1024 x 768 pixels
    Size window{15360, 11520};
};

// Hands out queued values first, then a fixed sequence that depends only on the seed,
// spread over [0, span).
class FakeRandom final : public Random {
  public:
    void reseed(std::int32_t seed) override {
        state = std::uint32_t(seed) * 2654435761u + 1;
        ++reseeds;
        last_seed = seed;
    }
    double next() override {
        ++draws;
        if (!queued.empty()) {
            const double v = queued.front();
            queued.pop_front();
            return v;
        }
        state = state * 1664525u + 1013904223u;
        return span * ((state >> 8) / double(1u << 24));
    }

    double span = 1.0;
    std::deque<double> queued;
    std::uint32_t state = 1;
    int reseeds = 0;
    int draws = 0;
    std::int32_t last_seed = 0;
};

class FakeClock final : public Clock {
  public:
    std::int32_t seconds_since_midnight() const override { return seconds; }
    std::int32_t seconds = 43200;
};

// A game with the standard sprites whose picture is the size of the display.
struct TestGame {
    FakeTimer timer;
    FakeDisplay display;
    FakeRandom random;
    FakeClock clock;
    Game game{Sprites::load(), Platform{timer, display, random, clock}};

    TestGame() { game.screen.resize(1024, 768); }
    GameState& s() { return game.s; }

    // A restarted game with the robot standing on the tile row at x, at rest.
    void stand_at(std::int32_t x) {
        game.restart_game();
        game.s.hero_pos = {x, game.s.ground_y};
        game.s.walking = 0;
        game.s.flying = 0;
        game.s.last_direction = 1;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            game.Timer1_Timer();
    }
    void fill(Rgb colour) { game.screen.box(0, 0, 1024 * 15, 768 * 15, colour); }
};

}  // namespace grimbolt::testing
