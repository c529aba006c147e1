#pragma once
// Plays a recorded game of the hall back in the main window, at the game's own speed:
// the player watches how the score was made. Meanwhile the player's game stands still:
// no event reaches it. Any key or a new game ends the playback.

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <memory>

#include "replay/road.h"
#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt {

class Mainfrm;

class Playback : public QObject, public EventTap {
    Q_OBJECT
  public:
    // Starts at once; the window shows the recorded game until the player ends it, or
    // stop() hands the window its own game back.
    Playback(Mainfrm& window, const Script& recording, QObject* parent = nullptr);
    ~Playback() override;

    // One period of the recorded game: its events up to and with its next tick.
    void step();
    bool finished() const { return next_ >= events_.size(); }
    // Gives the window its own game back, and tells so.
    void stop();
    const Game& game() const { return session_->game(); }

    // What reaches the window while the recording plays: a paint shows its picture, a
    // key or a new game ends it (the key asks for the new game), nothing else passes.
    bool before(const ScriptEvent& event) override;
    void after(const ScriptEvent&) override {}

  signals:
    void ended();

  private:
    Mainfrm& window_;
    std::unique_ptr<Session> session_;
    std::vector<ScriptEvent> events_;
    std::size_t next_ = 0;
    std::int32_t ticks_left_ = 0;  // of the tick event at next_
    bool stopped_ = false;
    QTimer timer_;
};

}  // namespace grimbolt
