#include "shell/window_display.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "canvas/surface.h"
#include "shell/surface_view.h"

namespace grimbolt {

Size WindowDisplay::screen_size() const {
    const QScreen* screen = window_.screen();
    QSize size = screen != nullptr ? screen->size() : QSize(640, 480);
    if (size_.isValid())
        size = size_;
    return {size.width() * kTwipsPerPixel, size.height() * kTwipsPerPixel};
}

Size WindowDisplay::window_size() const {
    const QSize frame = window_.frameGeometry().size();
    if (view_ == nullptr)
        return {frame.width() * kTwipsPerPixel, frame.height() * kTwipsPerPixel};
    const QSize client = view_->size();
    const Surface& picture = view_->surface();
    const int width = picture.width_px() + std::max(0, frame.width() - client.width());
    const int height = picture.height_px() + std::max(0, frame.height() - client.height());
    return {width * kTwipsPerPixel, height * kTwipsPerPixel};
}

}  // namespace grimbolt
