#pragma once
// The tick timer Timer1 on a precise Qt timer.

#include <QTimer>

#include "core/platform.h"

namespace grimbolt {

class QtTimer final : public Timer {
  public:
    explicit QtTimer(int interval_ms);

    bool enabled() const override { return timer_.isActive(); }
    void set_enabled(bool on) override;
    int interval() const override { return timer_.interval(); }
    void set_interval(int ms) override { timer_.setInterval(ms); }

    QTimer& qtimer() { return timer_; }

  private:
    QTimer timer_;
};

}  // namespace grimbolt
