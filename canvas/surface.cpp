// Surface's interface, handed on to the engine behind it.

#include "canvas/surface.h"

#include "canvas/engine.h"

namespace grimbolt {

Surface::Surface(int width_px, int height_px, Rgb background)
    : engine_(std::make_unique<Engine>(width_px, height_px, background)) {}

Surface::Surface(const Surface& other) : engine_(std::make_unique<Engine>(*other.engine_)) {}

Surface& Surface::operator=(const Surface& other) {
    *engine_ = *other.engine_;
    return *this;
}

// The moved-from surface is an empty picture, still safe to draw on.
Surface::Surface(Surface&& other) noexcept
    : engine_(std::exchange(other.engine_, std::make_unique<Engine>(0, 0, kBlack))) {}

Surface& Surface::operator=(Surface&& other) noexcept {
    std::swap(engine_, other.engine_);
    return *this;
}

Surface::~Surface() = default;

// A surface without pixels takes no drawing: a game played only to count its score
// draws on one, and spends its time on the rules alone.
bool Surface::no_pixels() const {
    return engine_->width_px() <= 0 || engine_->height_px() <= 0;
}

void Surface::resize(int width_px, int height_px) {
    engine_->resize(width_px, height_px);
}
int Surface::width_px() const {
    return engine_->width_px();
}
int Surface::height_px() const {
    return engine_->height_px();
}

void Surface::box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Rgb colour) {
    if (no_pixels())
        return;
    engine_->box(x1, y1, x2, y2, colour);
}
void Surface::box_outline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          Rgb colour) {
    if (no_pixels())
        return;
    engine_->box_outline(x1, y1, x2, y2, colour);
}
void Surface::point(std::int64_t x, std::int64_t y, Rgb colour) {
    if (no_pixels())
        return;
    engine_->point(x, y, colour);
}

void Surface::set_fill(Rgb colour, FillStyle style) {
    engine_->set_fill(colour, style);
}
Rgb Surface::fill_colour() const {
    return engine_->fill_colour();
}
FillStyle Surface::fill_style() const {
    return engine_->fill_style();
}
void Surface::circle(std::int64_t cx, std::int64_t cy, std::int64_t radius) {
    if (no_pixels())
        return;
    engine_->circle(cx, cy, radius);
}

void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, Rop rop) {
    if (no_pixels())
        return;
    engine_->picture(pic, x, y, rop);
}
void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                      Rop rop) {
    if (no_pixels())
        return;
    engine_->picture(pic, x, y, width, rop);
}
void Surface::picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                      std::int64_t height, Rop rop) {
    if (no_pixels())
        return;
    engine_->picture(pic, x, y, width, height, rop);
}

void Surface::set_font_size(double points) {
    engine_->set_font_size(points);
}
double Surface::font_size() const {
    return engine_->font_size();
}
void Surface::set_fore_colour(Rgb colour) {
    engine_->set_fore_colour(colour);
}
Rgb Surface::fore_colour() const {
    return engine_->fore_colour();
}
void Surface::set_print_pos(std::int64_t x, std::int64_t y) {
    engine_->set_print_pos(x, y);
}
std::int64_t Surface::current_x() const {
    return engine_->current_x();
}
std::int64_t Surface::current_y() const {
    return engine_->current_y();
}
std::int64_t Surface::line_height() const {
    return engine_->line_height();
}
void Surface::print(const QString& text) {
    engine_->print(text);
}
void Surface::cls() {
    engine_->cls();
}

void Surface::flush() {
    engine_->flush();
}
const QImage& Surface::image() {
    engine_->flush();
    return engine_->image();
}
const QImage& Surface::shown() const {
    return engine_->image();
}
Rgb Surface::pixel(int x, int y) {
    engine_->flush();
    return engine_->pixel(x, y);
}
std::vector<QRect> Surface::take_dirty() {
    return engine_->take_dirty();
}
bool Surface::has_dirty() {
    engine_->flush();
    return engine_->has_dirty();
}

std::uint64_t Surface::version() const {
    return engine_->version();
}
CanvasStats Surface::stats() const {
    return engine_->stats();
}
void Surface::set_helper(bool on) {
    engine_->set_helper(on);
}

}  // namespace grimbolt
