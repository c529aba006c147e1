#pragma once
// The real generator and clock of the running program, and the tick timer of a game
// played without a window.

#include <cstdint>
#include <random>

#include "core/platform.h"

namespace grimbolt {

class SystemRandom final : public Random {
  public:
    void reseed(std::int32_t seed) override;
    double next() override;

  private:
    std::mt19937_64 engine_{0};
};

class SystemClock final : public Clock {
  public:
    std::int32_t seconds_since_midnight() const override;
};

// A tick timer that fires only when its player says so: for a proof, a recording played
// back, and the tests.
class HeldTimer final : public Timer {
  public:
    bool enabled() const override { return on; }
    void set_enabled(bool value) override { on = value; }
    int interval() const override { return period; }
    void set_interval(int ms) override { period = ms; }

    bool on = true;
    int period = 50;
};

}  // namespace grimbolt
