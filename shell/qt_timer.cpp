#include "shell/qt_timer.h"

namespace grimbolt {

QtTimer::QtTimer(int interval_ms) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval_ms);
}

void QtTimer::set_enabled(bool on) {
    on_ = on;
    follow();
}

void QtTimer::set_held(bool held) {
    held_ = held;
    follow();
}

void QtTimer::follow() {
    const bool run = on_ && !held_;
    if (run == timer_.isActive())
        return;  // switching on a running timer must not restart it
    if (run) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

}  // namespace grimbolt
