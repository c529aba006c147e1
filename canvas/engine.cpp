#include "canvas/engine.h"

#include "canvas/pixel_rows.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace grimbolt {
namespace {

// Coordinates beyond this many twips are far outside any display; pinning them keeps
// every product below the range of 64-bit integers.
constexpr std::int64_t kFar = std::int64_t{1} << 40;

std::int64_t pin(std::int64_t v) {
    return std::clamp(v, -kFar, kFar);
}

QString game_font_family() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first();
    }();
    return family;
}

// A blank picture. A large one lies on huge pages where the system has them: it is
// drawn all over every frame, and small pages would each cost an address lookup.
QImage blank_picture(int width, int height) {
#ifdef __linux__
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (bytes >= kHugePage) {
        const std::size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void* memory = std::aligned_alloc(kHugePage, size)) {
            madvise(memory, size, MADV_HUGEPAGE);
            return QImage(
                static_cast<uchar*>(memory), width, height, qsizetype(width) * 4,
                QImage::Format_RGB32, [](void* p) { std::free(p); }, memory);
        }
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

}  // namespace

Surface::Engine::Engine(int width_px, int height_px, Rgb background) : background_(background) {
    take_pixels(std::max(width_px, 0), std::max(height_px, 0));
    set_font_size(font_points_);
}

// New pixels of the background colour, and everything that follows their size.
QImage Surface::Engine::take_pixels(int width_px, int height_px) {
    QImage next = blank_picture(width_px, height_px);
    next.fill(kOpaque | background_);
    std::swap(image_, next);
    dirty_.resize(width_px, height_px);
    changes_.resize(width_px, height_px);
    planned_.resize(width_px, height_px);
    painted_.assign(painted_.size(), Painted{});
    return next;
}

Surface::Engine::Engine(const Engine& other) {
    *this = other;
}

Surface::Engine::~Engine() = default;

Surface::Engine& Surface::Engine::operator=(const Engine& other) {
    if (this == &other)
        return *this;
    image_ = other.image_;
    background_ = other.background_;
    fill_colour_ = other.fill_colour_;
    fill_style_ = other.fill_style_;
    fore_colour_ = other.fore_colour_;
    font_points_ = other.font_points_;
    font_ = other.font_;
    current_x_ = other.current_x_;
    current_y_ = other.current_y_;
    dirty_ = other.dirty_;
    changes_ = other.changes_;
    painted_ = other.painted_;
    pending_ = {};
    disc_ = {};
    ops_.clear();
    ops_cost_ = 0;
    planned_ = other.planned_;
    cache_ = PictureCache{};
    touched_ = other.touched_;
    fused_ = other.fused_;
    draw_recorded_of(other);
    text_held_ = other.text_held_;
    held_lines_ = other.held_lines_;
    drawn_lines_ = other.drawn_lines_;
    after_lines_ = other.after_lines_;
    release_text();
    return *this;
}

// What the other has recorded or holds back is drawn on the copy at once, from the
// other's prepared pictures: the copy keeps no pointer into them, and the other is
// left as it was.
void Surface::Engine::draw_recorded_of(const Engine& other) {
    std::vector<DrawOp> ops(other.ops_);
    if (other.pending_.active)
        ops.push_back(other.held_and());
    if (other.disc_.active)
        ops.push_back(other.held_disc());
    planned_.done();
    if (ops.empty())
        return;
    const Canvas canvas{rows(), stride_px(), image_.width(), image_.height()};
    BandResult done;
    for (DrawOp& op : ops) {
        if (op.seq == 0)
            op.seq = changes_.tick();
        draw_rows(op, canvas, op.area.top(), op.area.bottom() + 1, done);
    }
    touched_ += done.touched;
    for (const Mark& m : done.marks) {
        dirty_.add(m.rect);
        changes_.touch(m.rect, m.seq);
    }
}

void Surface::Engine::resize(int width_px, int height_px) {
    flush();
    width_px = std::max(width_px, 0);
    height_px = std::max(height_px, 0);
    if (width_px == image_.width() && height_px == image_.height())
        return;
    const QImage old = take_pixels(width_px, height_px);
    copy_top_left(old, image_);
    mark(image_.rect());
}

void Surface::Engine::copy_top_left(const QImage& from, QImage& to) {
    const int w = std::min(from.width(), to.width());
    for (int y = 0; y < std::min(from.height(), to.height()); ++y) {
        std::copy_n(reinterpret_cast<const std::uint32_t*>(from.constScanLine(y)), w,
                    reinterpret_cast<std::uint32_t*>(to.scanLine(y)));
    }
}

Rgb Surface::Engine::pixel(int x, int y) const {
    if (!image_.valid(x, y))
        return 0;
    return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x] & ~kOpaque;
}

void Surface::Engine::fill_px(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                              Rgb colour) {
    release_held();
    const std::int64_t left = std::max<std::int64_t>(std::min(x1, x2), 0);
    const std::int64_t right = std::min<std::int64_t>(std::max(x1, x2), image_.width() - 1);
    const std::int64_t top = std::max<std::int64_t>(std::min(y1, y2), 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(y1, y2), image_.height() - 1);
    if (left > right || top > bottom)
        return;
    DrawOp op;
    op.kind = DrawOp::Kind::Fill;
    op.area = QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
    op.left = left;
    op.right = right;
    op.value = kOpaque | colour;
    record(op);
}

void Surface::Engine::box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          Rgb colour) {
    fill_px(to_px(pin(x1)), to_px(pin(y1)), to_px(pin(x2)), to_px(pin(y2)), colour);
}

void Surface::Engine::box_outline(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                                  std::int64_t y2, Rgb colour) {
    const std::int64_t l = std::min(to_px(pin(x1)), to_px(pin(x2)));
    const std::int64_t r = std::max(to_px(pin(x1)), to_px(pin(x2)));
    const std::int64_t t = std::min(to_px(pin(y1)), to_px(pin(y2)));
    const std::int64_t b = std::max(to_px(pin(y1)), to_px(pin(y2)));
    fill_px(l, t, r, t, colour);
    fill_px(l, b, r, b, colour);
    fill_px(l, t, l, b, colour);
    fill_px(r, t, r, b, colour);
}

void Surface::Engine::point(std::int64_t x, std::int64_t y, Rgb colour) {
    const std::int64_t px = to_px(pin(x));
    const std::int64_t py = to_px(pin(y));
    fill_px(px, py, px, py, colour);
}

void Surface::Engine::set_fill(Rgb colour, FillStyle style) {
    fill_colour_ = colour;
    fill_style_ = style;
}

void Surface::Engine::circle(std::int64_t cx, std::int64_t cy, std::int64_t radius) {
    if (radius < 0)
        return;
    release_held();
    const std::int64_t x0 = to_px(pin(cx));
    const std::int64_t y0 = to_px(pin(cy));
    const std::int64_t rp = pin(radius) / kTwipsPerPixel;
    const std::int64_t top = std::max<std::int64_t>(y0 - rp, 0);
    const std::int64_t bottom = std::min<std::int64_t>(y0 + rp, image_.height() - 1);
    if (top > bottom)
        return;
    if (fill_style_ == FillStyle::Solid && fill_colour_ == fore_colour_) {
        // Inside and rim alike. Held back: a picture OR-drawn over the whole disc may
        // follow, and both are then done in the same pass.
        disc_ = {true, x0, y0, rp, top, bottom, kOpaque | fill_colour_};
        return;
    }
    // Each row's half-width is needed for the rows above and below too: one square root
    // a row.
    std::int64_t above = disc_half_width(rp, top - y0 - 1);
    std::int64_t here = disc_half_width(rp, top - y0);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const std::int64_t hw = here;
        const std::int64_t below = disc_half_width(rp, y + 1 - y0);
        // Inside pixels whose four neighbours are all inside; the rest is the rim.
        const std::int64_t inner = std::min({above, below, hw - 1});
        above = here;
        here = below;
        if (inner >= 0 && fill_style_ == FillStyle::Solid) {
            fill_px(x0 - inner, y, x0 + inner, y, fill_colour_);
        }
        const std::int64_t rim = std::max<std::int64_t>(inner, -1);
        fill_px(x0 - hw, y, x0 - rim - 1, y, fore_colour_);
        fill_px(x0 + rim + 1, y, x0 + hw, y, fore_colour_);
    }
}

void Surface::Engine::picture(const QImage& pic, std::int64_t x, std::int64_t y, Rop rop) {
    blit(pic, to_px(pin(x)), to_px(pin(y)), pic.width(), pic.height(), false, rop);
}

void Surface::Engine::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                              Rop rop) {
    x = pin(x);
    width = pin(width);
    const std::int64_t l = to_px(std::min(x, x + width));
    const std::int64_t r = to_px(std::max(x, x + width));
    blit(pic, l, to_px(pin(y)), r - l, pic.height(), width < 0, rop);
}

void Surface::Engine::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
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

void Surface::Engine::set_font_size(double points) {
    font_points_ = points;
    font_ = QFont(game_font_family());
    // 20 twips to a point, 15 twips to a pixel.
    font_.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 20.0 / kTwipsPerPixel))));
}

void Surface::Engine::set_print_pos(std::int64_t x, std::int64_t y) {
    current_x_ = x;
    current_y_ = y;
}

std::int64_t Surface::Engine::line_height() const {
    return std::int64_t{QFontMetrics(font_).height()} * kTwipsPerPixel;
}

void Surface::Engine::print(const QString& text) {
    const Line line{text, current_x_, current_y_, font_, fore_colour_};
    if (text_held_) {
        held_lines_.push_back(line);
    } else {
        flush();
        draw_text(line);
    }
    current_x_ = 0;
    current_y_ += line_height();
}

void Surface::Engine::draw_text(const Line& line) {
    const QFontMetrics metrics(line.font);
    const std::int64_t x = to_px(pin(line.x));
    const std::int64_t y = to_px(pin(line.y));
    const QRect area(0, 0, image_.width(), image_.height());
    const std::int64_t reach =
        std::int64_t{metrics.horizontalAdvance(line.text)} + metrics.height();
    if (x < area.right() + 1 && y < area.bottom() + 1 && x + reach > 0 &&
        y + metrics.height() > 0 && !line.text.isEmpty()) {
        QPainter painter(&image_);
        painter.setFont(line.font);
        painter.setPen(QColor::fromRgb(kOpaque | line.colour));
        const QRect box =
            metrics.boundingRect(line.text).translated(int(x), int(y) + metrics.ascent());
        touched_ += std::uint64_t(box.width()) * std::uint64_t(box.height());
        painter.drawText(int(x), int(y) + metrics.ascent(), line.text);
        mark(box.adjusted(-2, -2, 2, 2).intersected(area));
    }
}

void Surface::Engine::cls() {
    release_held();  // a clear held before, too
    text_held_ = true;
    held_lines_.clear();
    set_print_pos(0, 0);
}

// The clear and the lines held back, unless the picture already shows just them.
void Surface::Engine::release_text() {
    if (!text_held_)
        return;
    text_held_ = false;
    draw_recorded();
    if (held_lines_ == drawn_lines_ && changes_.latest() == after_lines_)
        return;
    fill_px(0, 0, image_.width() - 1, image_.height() - 1, background_);
    draw_recorded();
    for (const Line& line : held_lines_)
        draw_text(line);
    std::swap(drawn_lines_, held_lines_);
    after_lines_ = changes_.latest();
}

void Surface::Engine::mark(const QRect& r) {
    dirty_.add(r);
    changes_.touch(r);
}

std::vector<QRect> Surface::Engine::take_dirty() {
    flush();
    return dirty_.take();
}

}  // namespace grimbolt
