#include "shell/hall/playback.h"

#include <utility>

#include "shell/mainfrm.h"

namespace grimbolt {

Playback::Playback(Mainfrm& window, const Script& recording, QObject* parent)
    : QObject(parent),
      window_(window),
      session_(std::make_unique<Session>(recording.header, false)),
      events_(recording.events) {
    // A recording holds the whole run before its game: the earlier games are played at
    // once, undrawn, and the watcher shows the game from its start.
    std::size_t start = 0;
    for (std::size_t i = 0; i < events_.size(); ++i) {
        if (events_[i].command == Command::NewGame)
            start = i;
    }
    for (; next_ < start; ++next_)
        session_->play(events_[next_]);
    session_->draw_from_here();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Playback::step);
    window.add_tap(*this);
    window.show_recorded(&session_->game());
    step();
    timer_.start(session_->period());
}

Playback::~Playback() = default;

bool Playback::before(const ScriptEvent& e) {
    if (stopped_)
        return true;
    switch (e.command) {
        case Command::NewGame:
            stop();
            return true;
        case Command::KeyDown:
            window_.New_Game->trigger();  // as F2 does, with everything that hears of it
            return false;
        case Command::Paint:
            window_.view()->update();  // the window shows the recording's picture again
            return false;
        default:
            return false;
    }
}

void Playback::step() {
    while (next_ < events_.size()) {
        ScriptEvent e = events_[next_];
        if (e.command != Command::Tick) {
            session_->play(e);
            ++next_;
            continue;
        }
        if (ticks_left_ == 0)
            ticks_left_ = e.a;
        session_->play(ScriptEvent{Command::Tick, 1, 0});
        if (--ticks_left_ == 0)
            ++next_;
        break;
    }
    window_.view()->present();
    if (timer_.interval() != session_->period())
        timer_.setInterval(session_->period());
    if (finished())
        timer_.stop();  // the last picture stays until the player ends watching
}

void Playback::stop() {
    if (std::exchange(stopped_, true))
        return;
    timer_.stop();
    window_.remove_tap(*this);
    window_.show_recorded(nullptr);
    emit ended();
}

}  // namespace grimbolt
