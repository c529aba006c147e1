#pragma once
// Plays input scripts against the real main window, with a fixed generator and clock
// and a held tick timer, so that a script and a seed always give the same game.

#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/platform.h"
#include "core/system_platform.h"
#include "replay/recorder.h"
#include "replay/script.h"
#include "replay/session.h"
#include "shell/enhanced/settings.h"

namespace grimbolt {

class Mainfrm;

struct ReplaySetup {
    std::int32_t seed = 1;  // the generator's first seed and the clock's start
    QSize display;          // the display the game is told about; empty: the real one
    bool enhanced = false;  // the enhanced edition
    Options options;        // its options, every one off unless set
    // Records every game as the enhanced edition does, at a time of day that follows
    // from the seed; each ended game is kept with the fingerprint of its state then.
    bool record = false;
};

struct RecordedGame {
    Recording recording;
    std::uint64_t state_hash = 0;  // of the game as it ended
    GameState state;
};

class ScriptPlayer {
  public:
    explicit ScriptPlayer(ReplaySetup setup = {});
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
    // The games recorded so far, when recording.
    const std::vector<RecordedGame>& recorded() const { return recorded_; }

    // Fingerprints of the game state with the timer, and of the pictures' pixels.
    std::uint64_t state_hash() const;
    std::uint64_t pixel_hash() const;

  private:
    void start();
    void record();
    void paint();
    void tick(std::int32_t count);

    ReplaySetup options_;
    SystemRandom random_;
    GameClock clock_;  // the script's own time, from the seed's second of the day
    std::unique_ptr<Mainfrm> window_;
    std::unique_ptr<Recorder> recorder_;
    std::vector<RecordedGame> recorded_;
    int starts_ = 0;
};

}  // namespace grimbolt
