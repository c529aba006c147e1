#pragma once
// The display a window is on, and the window's outer size as the game sees it: the
// frame, title and menu bar around the game's picture, plus the picture itself.

#include <QSize>

#include "core/platform.h"

class QWidget;

namespace grimbolt {

class SurfaceView;

class WindowDisplay final : public Display {
  public:
    explicit WindowDisplay(const QWidget& window) : window_(window) {}

    // The view of the game's picture, once the window has one.
    void set_view(const SurfaceView* view) { view_ = view; }
    // A display of this many pixels instead of the real one; an empty size: the real.
    void set_size(QSize pixels) { size_ = pixels; }

    Size screen_size() const override;
    Size window_size() const override;

  private:
    const QWidget& window_;
    const SurfaceView* view_ = nullptr;
    QSize size_;
};

}  // namespace grimbolt
