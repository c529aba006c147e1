#pragma once
// Records every game of the enhanced edition as it is played: each event that reaches
// the game, in order, with the sizes and settings the game reads written as they
// change. A new game keeps some values of the one before, so a game's recording holds
// the whole run of the program up to the game's end, from its start: played again from
// nothing, it reaches every value of the game by the game's own rules.

#include <QDateTime>
#include <cstdint>
#include <functional>

#include "replay/recording.h"
#include "replay/road.h"
#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt {

class Game;

class Recorder final : public EventTap {
  public:
    // Records the games of `game`. The game's clock must be `clock`: every game starts
    // it at the second of the day it began, which is the recording's seed.
    Recorder(Game& game, GameClock& clock);

    // Called when a game has ended: shot down, replaced by a new game, or closed.
    std::function<void(const Recording&)> ended;
    // The time of day; the real one unless a test fixes it.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // Begins the first game, which the window has just loaded.
    void begin();
    // Before each event reaches the game; a new game ends the one before it.
    bool before(const ScriptEvent& event) override;
    // After each event: a death ends the game (the record goes on, as the game may).
    void after(const ScriptEvent& event) override;
    // While a recorded game is played back in the window, nothing reaches the player's
    // game: it ends as the playback begins, and a new game follows it.
    void showing_other(bool other) override;
    // The program closes: the game ends.
    void finish();

    Recording current() const;

  private:
    void start_game();
    void end_game();
    void sync();
    void add(const ScriptEvent& event);

    Game& game_;
    GameClock& clock_;
    Recording recording_;
    std::int32_t ticks_ = 0;
    int games_ = 0;
    bool paused_ = false;
    bool started_ = false;
    std::uint32_t deaths_ = 0;
    std::int32_t offered_ticks_ = -1;  // the tick count the last offer of this game had
    // The sizes and settings as last written: -1 where none was written yet.
    ScriptEvent display_{Command::Display, -1, -1};
    ScriptEvent window_{Command::Window, -1, -1};
    ScriptEvent picture_{Command::Picture, -1, -1};
    ScriptEvent period_{Command::Period, -1, 0};
    ScriptEvent safe_start_{Command::SafeStart, -1, 0};
    ScriptEvent fair_start_{Command::FairStart, -1, 0};
};

}  // namespace grimbolt
