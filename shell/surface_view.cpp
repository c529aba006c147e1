#include "shell/surface_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "canvas/surface.h"

namespace grimbolt {

SurfaceView::SurfaceView(const Surface* surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    // Everything is painted from the surface; nothing of the widget's own shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void SurfaceView::update_surface_rect(const QRect& r) {
    if (scale_ == 1.0) {
        update(r);
        return;
    }
    const int left = int(std::floor(r.left() * scale_));
    const int top = int(std::floor(r.top() * scale_));
    const int right = int(std::ceil((r.right() + 1) * scale_));
    const int bottom = int(std::ceil((r.bottom() + 1) * scale_));
    update(QRect(QPoint(left - 1, top - 1), QPoint(right, bottom)));
}

void SurfaceView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = surface_->shown();
    if (scale_ == 1.0) {
        // Only what changed is copied, rectangle by rectangle.
        for (const QRect& r : event->region()) {
            painted_pixels_ += std::uint64_t(r.width()) * std::uint64_t(r.height());
            const QRect inside = r.intersected(image.rect());
            if (inside != r)
                painter.fillRect(r, Qt::black);
            if (!inside.isEmpty())
                painter.drawImage(inside.topLeft(), image, inside);
        }
        return;
    }
    const QRect target = event->rect();
    painted_pixels_ += std::uint64_t(target.width()) * std::uint64_t(target.height());
    painter.fillRect(target, Qt::black);
    const double device_scale = scale_ * devicePixelRatioF();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, device_scale < 1.0);
    painter.scale(scale_, scale_);
    // Only the part of the surface under the damaged area is drawn.
    const QRectF source(target.left() / scale_, target.top() / scale_, target.width() / scale_,
                        target.height() / scale_);
    const QRect src = source.toAlignedRect().intersected(image.rect());
    painter.drawImage(src, image, src);
}

}  // namespace grimbolt
