#pragma once
// Shows a Surface, scaled to the widget's size: block pixels when enlarged (so a
// high-density display shows the picture crisp), smoothed when it has to shrink.

#include <QRect>
#include <QWidget>
#include <cstdint>

namespace grimbolt {

class Surface;

class SurfaceView : public QWidget {
    Q_OBJECT
  public:
    SurfaceView(const Surface* surface, QWidget* parent);

    // The picture it shows.
    const Surface& surface() const { return *surface_; }
    void set_surface(const Surface* surface) {
        surface_ = surface;
        update();
    }

    // Widget pixels per surface pixel.
    void set_scale(double scale) { scale_ = scale; }
    double scale() const { return scale_; }

    // Schedules the widget area that shows these surface pixels for repainting.
    void update_surface_rect(const QRect& r);

    // Widget pixels painted from the surface so far.
    std::uint64_t painted_pixels() const { return painted_pixels_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Surface* surface_;
    double scale_ = 1.0;
    std::uint64_t painted_pixels_ = 0;
};

}  // namespace grimbolt
