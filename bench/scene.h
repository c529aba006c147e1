#pragma once
// Scenes for the benchmarks: a game on a display of a given size, with fixed
// platform pieces, set up with a given load and put back the same way on demand.

#include <benchmark/benchmark.h>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "core/game.h"
#include "fakes.h"

namespace grimbolt::bench {

// A generator that keeps new monsters in the upper part of the sky, so that none
// reaches the robot on the tile row and a long run never ends in its death.
struct SkyRandom {
    testing::FakeRandom random;
    SkyRandom() { random.span = 0.6; }
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

    testing::FakeTimer timer;
    testing::FakeDisplay display;
    SkyRandom sky;
    testing::FakeClock clock;
    Game game;
    GameState start;  // the state to put back before each measured tick
};

// Other programs on the machine: threads that keep cores busy while they live.
class Competition {
  public:
    explicit Competition(int threads) {
        for (int i = 0; i < threads; ++i) {
            threads_.emplace_back([this] {
                std::uint64_t n = 0;
                while (!stop_.load(std::memory_order_relaxed))
                    benchmark::DoNotOptimize(++n);
            });
        }
    }
    ~Competition() {
        stop_ = true;
        for (std::thread& t : threads_)
            t.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

}  // namespace grimbolt::bench
