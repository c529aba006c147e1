#pragma once
// The game's sounds: after every event that ran the game, what happened in it is heard
// (a shot, a hit, the robot shot down, the shop, a purchase or a refused one), and the
// jet roars while it lifts the robot.

#include <QObject>

#include "core/game.h"

namespace grimbolt {

class Audio;

class GameSound : public QObject {
    Q_OBJECT
  public:
    GameSound(const Game& game, Audio& audio, QObject* parent = nullptr);

    void set_enabled(bool on);
    bool enabled() const { return enabled_; }
    // After every event that ran the game: what happened since the last is heard.
    void hear();

  private:
    const Game& game_;
    Audio& audio_;
    Happenings heard_;
    bool enabled_ = true;
    bool jet_ = false;
};

}  // namespace grimbolt
