#pragma once
// Signs over the game screen, drawn by the window and never into the game's picture:
// the pause sign, the game-over summary and the sign of a recording being shown, in the
// enhanced edition.

#include <QStringList>
#include <QWidget>
#include <cstdint>

namespace grimbolt {

class Overlay : public QWidget {
    Q_OBJECT
  public:
    // Lies over the whole of `screen` and follows its size.
    explicit Overlay(QWidget* screen);

    void show_pause();
    // In the corner, while a recorded game is shown: a key ends it.
    void show_playback();
    void show_game_over(std::int32_t score, std::int32_t best);
    void clear();

    // What it shows, a line each, in the language of now; empty while hidden.
    QStringList lines() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Sign { None, Pause, GameOver, Playback };
    void show_sign(Sign sign);

    Sign sign_ = Sign::None;
    std::int32_t score_ = 0;
    std::int32_t best_ = 0;
};

}  // namespace grimbolt
