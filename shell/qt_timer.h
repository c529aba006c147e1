#pragma once
// The tick timer Timer1 on a precise Qt timer.

#include <QTimer>

#include "core/platform.h"

namespace grimbolt {

class QtTimer final : public Timer {
  public:
    explicit QtTimer(int interval_ms);

    bool enabled() const override { return on_; }
    void set_enabled(bool on) override;
    int interval() const override { return timer_.interval(); }
    void set_interval(int ms) override { timer_.setInterval(ms); }

    // A held timer keeps its state but never fires by itself: whoever holds it decides
    // when a period has passed (a replayed script does).
    void set_held(bool held);
    bool held() const { return held_; }

    QTimer& qtimer() { return timer_; }

  private:
    void follow();

    QTimer timer_;
    bool on_ = false;
    bool held_ = false;
};

}  // namespace grimbolt
