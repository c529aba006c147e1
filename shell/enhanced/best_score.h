#pragma once
// The best score so far, kept for the enhanced edition's game-over summary in
// $XDG_DATA_HOME/Grimbolt/best.json. Written whole or not at all, one game at a time.

#include <QString>
#include <cstdint>

namespace grimbolt {

class BestScore {
  public:
    // Keeps the score in the folder `folder`.
    explicit BestScore(QString folder);

    // $XDG_DATA_HOME/Grimbolt, or ~/.local/share/Grimbolt.
    static QString default_folder();

    // The best score kept, 0 when there is none or it cannot be read.
    std::int32_t best() const;
    // A game ended with this score: it is kept when it beats the best. Returns the best
    // after it, which is the best so far even when the file cannot be written.
    std::int32_t offer(std::int32_t score);

  private:
    QString folder_;
    std::int32_t seen_ = 0;  // the best this game has known, written or not
};

}  // namespace grimbolt
