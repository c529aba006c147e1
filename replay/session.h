#pragma once
// A recorded game played again without a window, as fast as the rules and the drawing
// go: to prove a recorded score, and to show a game that is being watched.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/system_platform.h"
#include "replay/script.h"

namespace grimbolt {

// The clock of a script or a recorded game: it starts at a second of the day and moves
// on by one timer period with every tick, so that playing again reads the same times.
class GameClock final : public Clock {
  public:
    void restart(std::int32_t seconds) {
        start_seconds = seconds;
        elapsed_ms = 0;
    }
    std::int32_t seconds_since_midnight() const override;
    void period_passed(int ms) override { elapsed_ms += ms; }

    std::int64_t start_seconds = 0;
    std::int64_t elapsed_ms = 0;
};

class Session {
  public:
    // A program as its recording's header starts it: its clock and generator seeded,
    // nothing loaded yet; the recording's "load" starts the first game. The rules never
    // look at the pictures, so a game only proven (`drawn` false) keeps them empty, which
    // spares most of the work.
    explicit Session(const ScriptHeader& header, bool drawn = true);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void play(const ScriptEvent& event);
    void play(const std::vector<ScriptEvent>& events);
    // From here on the game is drawn: a watcher runs through the earlier games of a run
    // undrawn and shows the last one. What the game draws from now on is seen; what it
    // drew before (the starfield) only at its next redraw.
    void draw_from_here();

    Game& game() { return game_; }
    const Game& game() const { return game_; }
    int period() const { return timer_.interval(); }
    bool timer_running() const { return timer_.enabled(); }
    Size display() const { return display_.screen; }
    Size window() const { return display_.window; }
    const GameClock& clock() const { return clock_; }

  private:
    class FixedDisplay final : public Display {
      public:
        Size screen_size() const override { return screen; }
        Size window_size() const override { return window; }
        Size screen{640 * kTwipsPerPixel, 480 * kTwipsPerPixel};
        Size window{640 * kTwipsPerPixel, 480 * kTwipsPerPixel};
    };

    HeldTimer timer_;
    FixedDisplay display_;
    SystemRandom random_;
    GameClock clock_;
    Game game_;
    bool drawn_ = true;
    std::int32_t picture_width_ = 0;  // the last size the picture was given, in pixels
    std::int32_t picture_height_ = 0;
};

}  // namespace grimbolt
