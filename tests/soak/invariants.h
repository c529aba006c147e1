#pragma once
// What the soak checks after every event: the promises of the game's rules about its
// state, the status panel after paint events, and memory that does not grow.

#include <cstdio>
#include <string>

#include "core/game_state.h"
#include "replay/script.h"

namespace grimbolt {
class ScriptPlayer;
}

namespace grimbolt::soak {

// The points that open the shop at the next tick.
void hand_out_shop_points(GameState& s);

// Bytes the program has allocated and not freed.
std::size_t allocated_bytes();

class Checker {
  public:
    void before(const ScriptPlayer& player, const ScriptEvent& e);
    bool after(const ScriptPlayer& player, const ScriptEvent& e, long long n);
    // Brings the program to the same plain state (one window, the first display, a new
    // game) and notes its memory: first the baseline, then the final reading.
    void measure_memory(ScriptPlayer& player, bool final);

    bool passed() const;
    const std::string& failure() const { return failure_; }
    long long events() const { return events_; }
    void report(std::FILE* out) const;

  private:
    enum Phase { Running, Shop, Dead, Paused, Dialog, Phases };
    bool fail(const std::string& why);
    bool check_state(const GameState& s, int period);

    long long events_ = 0;
    long long in_phase_[Phases] = {};
    bool was_running_ = false;
    bool dead_ = false;
    std::size_t baseline_ = 0;
    std::size_t final_ = 0;
    bool measured_ = false;
    std::string failure_;
};

}  // namespace grimbolt::soak
