#pragma once
// Plays a recorded game of the hall in the main window, at the game's own speed: the
// player watches how the score was made. Any key or a new game ends it.

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <memory>

#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt {

class Mainfrm;

class Watcher : public QObject {
    Q_OBJECT
  public:
    // Starts at once; the window shows the recorded game until the player ends it. Whoever
    // deletes a watcher before that hands the window its own game back first.
    Watcher(Mainfrm& window, const Script& recording, QObject* parent = nullptr);
    ~Watcher() override;

    // One period of the recorded game: its events up to and with its next tick.
    void step();
    bool finished() const { return next_ >= events_.size(); }
    const Game& game() const { return session_->game(); }

  signals:
    void ended();

  private:
    void stop();

    Mainfrm& window_;
    std::unique_ptr<Session> session_;
    std::vector<ScriptEvent> events_;
    std::size_t next_ = 0;
    std::int32_t ticks_left_ = 0;  // of the tick event at next_
    QTimer timer_;
};

}  // namespace grimbolt
