#pragma once
// Signs over the game screen, drawn by the window and never into the game's picture:
// the pause sign and the game-over summary of the enhanced edition.

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
    void show_game_over(std::int32_t score, std::int32_t best);
    void clear();

    // What it shows, a line each; empty while hidden.
    QStringList lines() const { return isVisible() ? lines_ : QStringList(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void show_lines(QStringList lines, int point_size);

    QStringList lines_;
    int point_size_ = 0;
};

}  // namespace grimbolt
