#include "shell/watcher.h"

#include "shell/mainfrm.h"

namespace grimbolt {

Watcher::Watcher(Mainfrm& window, const Script& recording, QObject* parent)
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
    connect(&timer_, &QTimer::timeout, this, &Watcher::step);
    connect(&window, &Mainfrm::watchInterrupted, this, &Watcher::stop);
    window.watch(&session_->game());
    step();
    timer_.start(session_->period());
}

Watcher::~Watcher() = default;

void Watcher::step() {
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

void Watcher::stop() {
    timer_.stop();
    emit ended();
}

}  // namespace grimbolt
