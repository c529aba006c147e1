#include "ui/surface.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace grimbolt {
namespace {

// Coordinates beyond this many twips are far outside any display; pinning them keeps
// every product below the range of 64-bit integers.
constexpr std::int64_t kFar = std::int64_t{1} << 40;

std::int64_t pin(std::int64_t v) {
    return std::clamp(v, -kFar, kFar);
}

constexpr std::uint32_t kOpaque = 0xFF000000u;

QString game_font_family() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first();
    }();
    return family;
}

// Largest h with h * h <= v, for v >= 0.
std::int64_t isqrt(std::int64_t v) {
    auto h = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(v)));
    while (h > 0 && h * h > v)
        --h;
    while ((h + 1) * (h + 1) <= v)
        ++h;
    return h;
}

}  // namespace

QString number_text(std::int64_t n) {
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + QLatin1Char(' ');
}

Surface::Surface(int width_px, int height_px, Rgb background)
    : image_(std::max(width_px, 0), std::max(height_px, 0), QImage::Format_RGB32),
      background_(background) {
    image_.fill(kOpaque | background_);
    set_font_size(font_points_);
}

void Surface::resize(int width_px, int height_px) {
    width_px = std::max(width_px, 0);
    height_px = std::max(height_px, 0);
    if (width_px == image_.width() && height_px == image_.height())
        return;
    QImage next(width_px, height_px, QImage::Format_RGB32);
    next.fill(kOpaque | background_);
    const int w = std::min(width_px, image_.width());
    for (int y = 0; y < std::min(height_px, image_.height()); ++y) {
        std::copy_n(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y)), w,
                    reinterpret_cast<std::uint32_t*>(next.scanLine(y)));
    }
    image_ = std::move(next);
    dirty_.clear();
    mark(image_.rect());
}

Rgb Surface::pixel(int x, int y) const {
    if (!image_.valid(x, y))
        return 0;
    return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x] & ~kOpaque;
}

void Surface::fill_px(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                      Rgb colour) {
    const std::int64_t left = std::max<std::int64_t>(std::min(x1, x2), 0);
    const std::int64_t right = std::min<std::int64_t>(std::max(x1, x2), image_.width() - 1);
    const std::int64_t top = std::max<std::int64_t>(std::min(y1, y2), 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(y1, y2), image_.height() - 1);
    if (left > right || top > bottom)
        return;
    const std::uint32_t value = kOpaque | colour;
    for (std::int64_t y = top; y <= bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image_.scanLine(static_cast<int>(y)));
        std::fill(row + left, row + right + 1, value);
    }
    mark(QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom))));
}

void Surface::box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Rgb colour) {
    fill_px(to_px(pin(x1)), to_px(pin(y1)), to_px(pin(x2)), to_px(pin(y2)), colour);
}

void Surface::box_outline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          Rgb colour) {
    const std::int64_t l = std::min(to_px(pin(x1)), to_px(pin(x2)));
    const std::int64_t r = std::max(to_px(pin(x1)), to_px(pin(x2)));
    const std::int64_t t = std::min(to_px(pin(y1)), to_px(pin(y2)));
    const std::int64_t b = std::max(to_px(pin(y1)), to_px(pin(y2)));
    fill_px(l, t, r, t, colour);
    fill_px(l, b, r, b, colour);
    fill_px(l, t, l, b, colour);
    fill_px(r, t, r, b, colour);
}

void Surface::point(std::int64_t x, std::int64_t y, Rgb colour) {
    const std::int64_t px = to_px(pin(x));
    const std::int64_t py = to_px(pin(y));
    fill_px(px, py, px, py, colour);
}

void Surface::set_fill(Rgb colour, FillStyle style) {
    fill_colour_ = colour;
    fill_style_ = style;
}

void Surface::circle(std::int64_t cx, std::int64_t cy, std::int64_t radius) {
    if (radius < 0)
        return;
    const std::int64_t x0 = to_px(pin(cx));
    const std::int64_t y0 = to_px(pin(cy));
    const std::int64_t rp = pin(radius) / kTwipsPerPixel;
    // Pixel (x0 + dx, y0 + dy) is inside when dx^2 + dy^2 <= rp^2 + rp, that is
    // closer than rp + 1/2 to the centre pixel.
    const auto span = [rp](std::int64_t dy) -> std::int64_t {
        if (dy < -rp || dy > rp)
            return -1;
        if (rp < (std::int64_t{1} << 30))
            return isqrt(rp * rp + rp - dy * dy);
        const long double v =
            static_cast<long double>(rp) * rp + rp - static_cast<long double>(dy) * dy;
        return static_cast<std::int64_t>(std::sqrt(v));
    };
    const std::int64_t top = std::max<std::int64_t>(y0 - rp, 0);
    const std::int64_t bottom = std::min<std::int64_t>(y0 + rp, image_.height() - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const std::int64_t dy = y - y0;
        const std::int64_t hw = span(dy);
        // Inside pixels whose four neighbours are all inside; the rest is the rim.
        const std::int64_t inner = std::min({span(dy - 1), span(dy + 1), hw - 1});
        if (inner >= 0 && fill_style_ == FillStyle::Solid) {
            fill_px(x0 - inner, y, x0 + inner, y, fill_colour_);
        }
        const std::int64_t rim = std::max<std::int64_t>(inner, -1);
        fill_px(x0 - hw, y, x0 - rim - 1, y, fore_colour_);
        fill_px(x0 + rim + 1, y, x0 + hw, y, fore_colour_);
    }
}

void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, Rop rop) {
    blit(pic, to_px(pin(x)), to_px(pin(y)), pic.width(), pic.height(), false, rop);
}

void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                      Rop rop) {
    x = pin(x);
    width = pin(width);
    const std::int64_t l = to_px(std::min(x, x + width));
    const std::int64_t r = to_px(std::max(x, x + width));
    blit(pic, l, to_px(pin(y)), r - l, pic.height(), width < 0, rop);
}

void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                      std::int64_t height, Rop rop) {
    x = pin(x);
    y = pin(y);
    width = pin(width);
    height = pin(height);
    const std::int64_t l = to_px(std::min(x, x + width));
    const std::int64_t r = to_px(std::max(x, x + width));
    const std::int64_t t = to_px(std::min(y, y + height));
    const std::int64_t b = to_px(std::max(y, y + height));
    blit(pic, l, t, r - l, b - t, width < 0, rop);
}

void Surface::blit(const QImage& pic, std::int64_t left, std::int64_t top, std::int64_t w,
                   std::int64_t h, bool mirrored, Rop rop) {
    if (pic.isNull())
        return;
    if (pic.format() != QImage::Format_RGB32 && pic.format() != QImage::Format_ARGB32) {
        // The rows are read as 32-bit pixels; anything else is converted first.
        blit(pic.convertToFormat(QImage::Format_RGB32), left, top, w, h, mirrored, rop);
        return;
    }
    const std::int64_t sw = pic.width();
    const std::int64_t sh = pic.height();
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    const std::int64_t i0 = std::max<std::int64_t>(0, -left);
    const std::int64_t i1 = std::min<std::int64_t>(w, image_.width() - left);
    const std::int64_t j0 = std::max<std::int64_t>(0, -top);
    const std::int64_t j1 = std::min<std::int64_t>(h, image_.height() - top);
    if (i0 >= i1 || j0 >= j1)
        return;
    const bool own_size = (w == sw && h == sh);
    // One loop per raster operation, so the choice is made once per picture.
    const auto run = [&](auto op) {
        for (std::int64_t j = j0; j < j1; ++j) {
            // Nearest source pixel to the centre of each destination pixel.
            const std::int64_t sy = own_size ? j : ((2 * j + 1) * sh) / (2 * h);
            const auto* srow = reinterpret_cast<const std::uint32_t*>(pic.constScanLine(int(sy)));
            auto* drow = reinterpret_cast<std::uint32_t*>(image_.scanLine(int(top + j))) + left;
            if (own_size && !mirrored) {
                for (std::int64_t i = i0; i < i1; ++i)
                    drow[i] = op(drow[i], srow[i]);
                continue;
            }
            for (std::int64_t i = i0; i < i1; ++i) {
                std::int64_t sx = own_size ? i : ((2 * i + 1) * sw) / (2 * w);
                if (mirrored)
                    sx = sw - 1 - sx;
                drow[i] = op(drow[i], srow[sx]);
            }
        }
    };
    switch (rop) {
        case Rop::SrcPaint:
            run([](std::uint32_t d, std::uint32_t s) { return d | s; });
            break;
        case Rop::SrcInvert:
            run([](std::uint32_t d, std::uint32_t s) { return (d ^ s) | kOpaque; });
            break;
        case Rop::SrcAnd:
            run([](std::uint32_t d, std::uint32_t s) { return (d & s) | kOpaque; });
            break;
    }
    mark(QRect(int(left + i0), int(top + j0), int(i1 - i0), int(j1 - j0)));
}

void Surface::set_font_size(double points) {
    font_points_ = points;
    font_ = QFont(game_font_family());
    // 20 twips to a point, 15 twips to a pixel.
    font_.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 20.0 / kTwipsPerPixel))));
}

void Surface::set_print_pos(std::int64_t x, std::int64_t y) {
    current_x_ = x;
    current_y_ = y;
}

std::int64_t Surface::line_height() const {
    return std::int64_t{QFontMetrics(font_).height()} * kTwipsPerPixel;
}

void Surface::print(const QString& text) {
    const QFontMetrics metrics(font_);
    const std::int64_t x = to_px(pin(current_x_));
    const std::int64_t y = to_px(pin(current_y_));
    const QRect area(0, 0, image_.width(), image_.height());
    const std::int64_t reach = std::int64_t{metrics.horizontalAdvance(text)} + metrics.height();
    if (x < area.right() + 1 && y < area.bottom() + 1 && x + reach > 0 &&
        y + metrics.height() > 0 && !text.isEmpty()) {
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(QColor::fromRgb(kOpaque | fore_colour_));
        const QRect box = metrics.boundingRect(text).translated(int(x), int(y) + metrics.ascent());
        painter.drawText(int(x), int(y) + metrics.ascent(), text);
        mark(box.adjusted(-2, -2, 2, 2).intersected(area));
    }
    current_x_ = 0;
    current_y_ += line_height();
}

void Surface::cls() {
    fill_px(0, 0, image_.width() - 1, image_.height() - 1, background_);
    set_print_pos(0, 0);
}

void Surface::mark(const QRect& r) {
    if (r.isEmpty())
        return;
    // A handful of rectangles per frame is plenty; beyond that one bounding box will do.
    constexpr std::size_t kMaxRects = 128;
    if (dirty_.size() >= kMaxRects) {
        QRect all = r;
        for (const QRect& d : dirty_)
            all |= d;
        dirty_.assign(1, all);
        return;
    }
    dirty_.push_back(r);
}

std::vector<QRect> Surface::take_dirty() {
    std::vector<QRect> out;
    out.swap(dirty_);
    return out;
}

}  // namespace grimbolt
