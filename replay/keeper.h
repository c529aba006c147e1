#pragma once
// Keeps ended games in the hall of fame on a thread of its own, in the order they
// ended: a game is proven before it is kept, which for a long run takes a while, and
// the player's next game goes on meanwhile. The hall is listed on the same thread, after
// the games handed over before, so a list never misses a game that has just ended.

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <vector>

#include "replay/hall.h"
#include "replay/recording.h"

namespace grimbolt {

class Keeper : public QObject {
  public:
    // `hall` outlives the keeper.
    explicit Keeper(Hall& hall, QObject* parent = nullptr);
    // Waits until every game handed over is kept, or refused.
    ~Keeper() override;
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // `kept` hears, on this object's thread, the recording as the hall keeps it when the
    // game took its place there.
    void keep(const Recording& game, std::function<void(const QByteArray&)> kept = {});
    // Proves a recording that came from elsewhere, after the games handed over before;
    // `done` hears the verdict on this object's thread.
    void prove(const QByteArray& text, std::function<void(const Verdict&)> done);
    // Lists the hall, proving each game; `done` hears of the list on this object's thread.
    void list(std::function<void(const std::vector<HallEntry>&)> done);
    void wait();
    Hall& hall() { return hall_; }

  private:
    Hall& hall_;
    QThreadPool pool_;
};

}  // namespace grimbolt
