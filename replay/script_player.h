#pragma once
// Plays input scripts against the real main window, with a fixed generator and clock
// and a held tick timer, so that a script and a seed always give the same game.

#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/platform.h"
#include "core/system_platform.h"
#include "replay/script.h"
#include "shell/settings.h"

namespace grimbolt {

class Mainfrm;

struct ReplayOptions {
    std::int32_t seed = 1;  // the generator's first seed and the clock's start
    QSize display;          // the display the game is told about; empty: the real one
    bool enhanced = false;  // the enhanced edition
    Options comforts;       // its comforts, every one off unless set
};

class ScriptPlayer {
  public:
    explicit ScriptPlayer(ReplayOptions options = {});
    ~ScriptPlayer();
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    // Runs one event and whatever the window system does because of it. After an exit
    // the next event starts the program anew.
    void play(const ScriptEvent& event);
    void play(const std::vector<ScriptEvent>& events);

    // Lets the window system deliver everything the last input caused, as after each
    // event of a script.
    void settle();

    // The running program's window; null after an exit until the next event.
    Mainfrm* window() const { return window_.get(); }
    int starts() const { return starts_; }

    // Fingerprints of the game state with the timer, and of the pictures' pixels.
    std::uint64_t state_hash() const;
    std::uint64_t pixel_hash() const;

  private:
    // The script's own time: it starts at the seed's second of the day and moves on by
    // one timer period with every tick event.
    class ScriptClock final : public Clock {
      public:
        std::int64_t start_seconds = 0;
        std::int64_t elapsed_ms = 0;
        std::int32_t seconds_since_midnight() const override;
    };

    void start();
    void paint();
    void tick(std::int32_t count);

    ReplayOptions options_;
    SystemRandom random_;
    ScriptClock clock_;
    std::unique_ptr<Mainfrm> window_;
    int starts_ = 0;
};

}  // namespace grimbolt
