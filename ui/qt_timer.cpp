#include "ui/qt_timer.h"

namespace grimbolt {

QtTimer::QtTimer(int interval_ms) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval_ms);
}

void QtTimer::set_enabled(bool on) {
    if (on == timer_.isActive())
        return;  // switching on a running timer must not restart it
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

}  // namespace grimbolt
