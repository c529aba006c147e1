#pragma once
// The enhanced edition's signs over the game: the pause sign, the summary of a game
// that ended with the best score, and the sign of a recording being played back.

#include <QObject>
#include <cstdint>

#include "shell/enhanced/settings.h"

namespace grimbolt {

class BestScore;
class Mainfrm;
class Overlay;

class Signs : public QObject {
    Q_OBJECT
  public:
    // Shows the signs `options` turn on; `best` keeps the best score, null: nothing kept.
    Signs(Mainfrm& window, const Options& options, BestScore* best);

    Overlay* overlay() const { return overlay_; }
    // After every event: a death shows the summary, a pause the sign.
    void refresh();

  private:
    void on_new_game();
    void on_pause();

    Mainfrm& window_;
    const Options& options_;
    BestScore* best_;
    Overlay* overlay_ = nullptr;
    std::uint32_t deaths_seen_ = 0;
    std::int32_t best_seen_ = 0;
    bool paused_ = false;     // the pause command stopped the ticks, and they still stand
    bool game_over_ = false;  // the robot was shot down in this game
};

}  // namespace grimbolt
