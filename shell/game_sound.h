#pragma once
// The game's sounds: after every event that ran the game, what happened in it is heard
// (a shot, a hit, the robot shot down, the shop, a purchase or a refused one), and the
// jet roars while it lifts the robot.

#include <QObject>

#include "core/game.h"

namespace grimbolt {

class Audio;
class Mainfrm;

class GameSound : public QObject {
    Q_OBJECT
  public:
    GameSound(Mainfrm& window, Audio& audio);

    void set_enabled(bool on);
    bool enabled() const { return enabled_; }

  private:
    void hear();

    Mainfrm& window_;
    Audio& audio_;
    Happenings heard_;
    bool enabled_ = true;
    bool jet_ = false;
};

}  // namespace grimbolt
