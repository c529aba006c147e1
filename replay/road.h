#pragma once
// The one road from an event into the game: whoever plays the game (the main window,
// a proof, a played-back recording, the script player) turns each event into the
// game's procedures here, so that every player runs the same game for the same events.

#include "replay/script.h"

namespace grimbolt {

class Game;

// Runs the game's procedures for one event. The sizes the game reads and the clock's
// start of day belong to whoever plays, and the menus that do not touch the game do
// nothing here. A tick moves the game's clock on by one timer period before the game
// ticks.
void enter(Game& game, const ScriptEvent& event);

// Hears of each event on its way into a game, and may stop it there: the recorder
// writes them down, a played-back recording keeps the player's game still.
class EventTap {
  public:
    virtual ~EventTap() = default;
    // Before the event reaches the game; false: it does not reach it.
    virtual bool before(const ScriptEvent& event) = 0;
    // After the game has run it.
    virtual void after(const ScriptEvent& event) = 0;
    // The window shows another game in place of its own (a recording played back), or
    // its own again.
    virtual void showing_other(bool other) { (void)other; }
};

}  // namespace grimbolt
