#pragma once
// The real generator and clock of the running program.

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

}  // namespace grimbolt
