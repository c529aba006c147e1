#pragma once
// The game screen: the main window's client area. It shows the game's picture with
// the status panel on it, fits the picture to its size (scaled down when the window is
// too short for the tile row and the panel), and presents what each event changed.

#include <QSize>

#include "shell/surface_view.h"

namespace grimbolt {

class Game;

class GameScreen : public SurfaceView {
    Q_OBJECT
  public:
    GameScreen(Game& game, QWidget* parent);

    // The status panel, a view of its own over the picture.
    SurfaceView* paramspic() const { return paramspic_; }

    // Fits the game's picture to the client area; true when its size or scale changed.
    bool fit();
    // Shows another game's picture (a recorded game being watched), whole and at most at
    // its own size; null: the window's own game again, fitted anew.
    void show_game(Game* other);
    bool showing_other() const { return shown_ != &game_; }
    // The end of an event: the picture's changed rectangles are scheduled for painting,
    // and the status panel goes where the game put it, shown or hidden as the game says.
    void present();

  signals:
    void resized();
    // Hiding the status panel uncovered the picture beneath it: it must be painted again.
    void uncovered();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The game's picture at the size the fit chose. It is the game's own and outlives
    // whatever pictures the window system swaps behind the window.
    void size_surface();
    QRect to_view(std::int32_t left, std::int32_t top, std::int32_t width,
                  std::int32_t height) const;

    void fit_other();

    Game& game_;
    Game* shown_ = &game_;  // the game whose picture is shown
    QSize other_fitted_;    // the other game's picture size its scale was chosen for
    SurfaceView* paramspic_ = nullptr;
    QSize picture_size_;  // the game's picture, in its own pixels
};

}  // namespace grimbolt
