#pragma once
// Scenes for the benchmarks: a game on a display of a given size, with fixed
// platform pieces, set up with a given load and put back the same way on demand.

#include <cstdint>

#include "core/game.h"

namespace grimbolt::bench {

class FixedTimer final : public Timer {
  public:
    bool enabled() const override { return on_; }
    void set_enabled(bool on) override { on_ = on; }
    int interval() const override { return period_; }
    void set_interval(int ms) override { period_ = ms; }

  private:
    bool on_ = true;
    int period_ = 50;
};

class FixedDisplay final : public Display {
  public:
    FixedDisplay(int width_px, int height_px) : size_{width_px * 15, height_px * 15} {}
    Size screen_size() const override { return size_; }
    Size window_size() const override { return size_; }

  private:
    Size size_;
};

// A fixed sequence that keeps new monsters in the upper part of the sky, so that none
// reaches the robot on the tile row and a long run never ends in its death.
class SkyRandom final : public Random {
  public:
    void reseed(std::int32_t seed) override { state_ = std::uint32_t(seed) * 2654435761u + 1; }
    double next() override {
        state_ = state_ * 1664525u + 1013904223u;
        return 0.6 * ((state_ >> 8) / double(1u << 24));
    }

  private:
    std::uint32_t state_ = 1;
};

class NoonClock final : public Clock {
  public:
    std::int32_t seconds_since_midnight() const override { return 43200; }
};

// How many objects a scene holds.
struct Load {
    int vrags = 0;
    int pulls = 0;
    int vzrivs = 0;
    std::int32_t blast_size = 2000;
    bool jet = false;  // the robot flies while it walks, with a recoil running
};

inline constexpr Load kTypical{11, 2, 1, 2000, false};
inline constexpr Load kWorst{51, 51, 21, 2000, true};

// Puts the game into the scene: a restarted game, the status panel shown, the robot
// walking on the tile row and the tables filled as the load says. The picture keeps
// whatever was drawn on it.
void set_scene(Game& game, const Load& load);

struct Scene {
    Scene(int width_px, int height_px, const Load& load);

    FixedTimer timer;
    FixedDisplay display;
    SkyRandom random;
    NoonClock clock;
    Game game;
    GameState start;  // the state to put back before each measured tick
};

}  // namespace grimbolt::bench
