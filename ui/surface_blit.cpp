// Pictures combined with the surface by the raster operations. Every tick draws dozens
// of them, so this is where the game's time goes: pictures come prepared at their
// drawn size (picture_cache.h), rows are combined in loops the compiler vectorises,
// black runs are skipped where black changes nothing, and a monster's AND drawing is
// held back a moment, so that the OR drawing that follows it at its next place can
// be done in the same pass over the pixels.

#include "ui/surface.h"

#include "ui/pixel_rows.h"

#include <algorithm>

namespace grimbolt {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

struct Or {
    static std::uint32_t row(std::uint32_t* d, const std::uint32_t* s, std::int64_t n) {
        return pixel_rows::paint(d, s, n);
    }
};
struct Xor {
    static std::uint32_t row(std::uint32_t* d, const std::uint32_t* s, std::int64_t n) {
        return pixel_rows::invert(d, s, n);
    }
};
struct And {
    static std::uint32_t row(std::uint32_t* d, const std::uint32_t* s, std::int64_t n) {
        return pixel_rows::mask(d, s, n);
    }
};

template <class Op>
std::uint32_t combine(std::uint32_t* dst, const std::uint32_t* src, std::int64_t n, Op) {
    return n > 0 ? Op::row(dst, src, n) : 0;
}

}  // namespace

// Places remembered for OR drawings: room for the tile row of the widest display, with
// few of its tiles sharing a slot with a bullet.
constexpr std::size_t kPaintedSlots = 2048;

// Rows of a blit that changed something, and how far they reached.
struct Surface::Changes {
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::int64_t lo = 0;
    std::int64_t hi = 0;

    void add(std::int64_t y, std::int64_t from, std::int64_t to, std::uint32_t changed) {
        if (changed == 0 || from >= to)
            return;
        if (first < 0) {
            lo = from;
            hi = to;
        }
        first = first < 0 ? y : first;
        last = y;
        lo = std::min(lo, from);
        hi = std::max(hi, to);
    }
};

Surface::Painted& Surface::painted_slot(const Painted& place) {
    if (painted_.empty())
        painted_.resize(kPaintedSlots);
    std::size_t h = std::hash<qint64>()(place.image);
    for (const std::int64_t v : {place.w, place.h, place.left, place.top})
        h = h * 1000003u ^ std::hash<std::int64_t>()(v);
    return painted_[(h * 2 + (place.mirrored ? 1 : 0)) % kPaintedSlots];
}

void Surface::mark(const Changes& c) {
    if (c.first >= 0)
        mark(QRect(QPoint(int(c.lo), int(c.first)), QPoint(int(c.hi - 1), int(c.last))));
}

void Surface::blit(const QImage& pic, std::int64_t left, std::int64_t top, std::int64_t w,
                   std::int64_t h, bool mirrored, Rop rop) {
    const bool continues = pending_.active && rop == Rop::SrcPaint &&
                           pending_.image == pic.cacheKey() && pending_.w == w && pending_.h == h &&
                           pending_.mirrored == mirrored && pending_.top == top;
    const bool over_disc = disc_.active && rop == Rop::SrcPaint;
    if (!continues && !over_disc)
        settle();
    if (pic.isNull() || w <= 0 || h <= 0 || pic.width() <= 0 || pic.height() <= 0) {
        settle();
        return;
    }
    const Clip c{w,
                 h,
                 std::max<std::int64_t>(0, -left),
                 std::min<std::int64_t>(w, image_.width() - left),
                 std::max<std::int64_t>(0, -top),
                 std::min<std::int64_t>(h, image_.height() - top)};
    if (c.i0 >= c.i1 || c.j0 >= c.j1) {
        settle();
        return;
    }
    const PreparedPicture* p = cache_.get(pic, w, h, mirrored);
    if (p == nullptr) {
        settle();
        blit_direct(pic, left, top, c, mirrored, rop);
        return;
    }
    if (continues) {
        and_then_or_rows(*p, left, top, c);
        return;
    }
    if (over_disc) {
        // The disc wholly under the picture: both in one pass.
        const QRect area(int(left + c.i0), int(top + c.j0), int(c.i1 - c.i0), int(c.j1 - c.j0));
        const QRect disc(
            QPoint(int(std::max<std::int64_t>(disc_.x0 - disc_.rp, 0)), int(disc_.top)),
            QPoint(int(std::min<std::int64_t>(disc_.x0 + disc_.rp, image_.width() - 1)),
                   int(disc_.bottom)));
        if (area.contains(disc)) {
            disc_then_paint_rows(*p, left, top, c);
            return;
        }
        settle();
    }
    switch (rop) {
        case Rop::SrcPaint: {
            // OR-drawn again where nothing changed since: nothing would change now.
            const Painted place{pic.cacheKey(), w, h, left, top, mirrored};
            const QRect area(int(left + c.i0), int(top + c.j0), int(c.i1 - c.i0), int(c.j1 - c.j0));
            Painted& slot = painted_slot(place);
            if (slot.when != 0 && slot.same_place(place) &&
                changes_.unchanged_since(area, slot.when))
                return;
            blit_rows(*p, left, top, c, true, Or{});
            slot = place;
            slot.when = changes_.now();
            break;
        }
        case Rop::SrcInvert:
            blit_rows(*p, left, top, c, true, Xor{});
            break;
        case Rop::SrcAnd:
            // Held back: an OR drawing of the same picture on the same rows may follow.
            pending_ = {true, pic.cacheKey(), w, h, mirrored, left, top, c, p};
            break;
    }
}

void Surface::settle() {
    if (pending_.active) {
        pending_.active = false;
        blit_rows(*pending_.picture, pending_.left, pending_.top, pending_.clip, false, And{});
    }
    if (disc_.active) {
        disc_.active = false;
        draw_disc(disc_);
    }
}

// The held-back disc and the picture over it, row by row: inside the disc the picture
// lands on the disc's colour, so nothing there needs reading; outside it the picture is
// OR-drawn where it has ink.
GRIMBOLT_ROW_LOOPS
void Surface::disc_then_paint_rows(const PreparedPicture& p, std::int64_t left, std::int64_t top,
                                   const Clip& c) {
    const Disc d = disc_;
    disc_.active = false;
    std::uint32_t* const pixels = rows();
    const std::int64_t stride = stride_px();
    const std::int64_t last_x = image_.width() - 1;
    Changes changes;
    const auto paint = [&](std::uint32_t* drow, const std::uint32_t* src, std::int64_t from,
                           std::int64_t to) -> std::uint32_t {
        if (from >= to)
            return 0;
        touched_ += std::uint64_t(to - from);
        return pixel_rows::paint(drow + from, src + from, to - from);
    };
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        const std::int64_t y = top + j;
        std::uint32_t* drow = pixels + y * stride;
        const std::uint32_t* src = p.row(int(j)) - left;  // indexed by surface column
        const std::int64_t ink0 = std::max(left + c.i0, left + p.ink_begin[std::size_t(j)]);
        const std::int64_t ink1 = std::min(left + c.i1, left + p.ink_end[std::size_t(j)]);
        const std::int64_t hw = y >= d.top && y <= d.bottom ? disc_half_width(d.rp, y - d.y0) : -1;
        const std::int64_t l = std::max<std::int64_t>(d.x0 - hw, 0);
        const std::int64_t r = std::min<std::int64_t>(d.x0 + hw, last_x) + 1;
        if (hw < 0 || l >= r) {
            changes.add(y, ink0, ink1, paint(drow, src, ink0, ink1));
            continue;
        }
        std::uint32_t changed = paint(drow, src, ink0, std::min(ink1, l));
        pixel_rows::copy(drow + l, src + l, d.value, r - l);
        touched_ += std::uint64_t(r - l);
        changed |= paint(drow, src, std::max(ink0, r), ink1);
        changes.add(y, std::min(l, ink0), std::max(r, ink1), changed | 1u);
    }
    mark(changes);
}

void Surface::settle() const {
    // Only ever called on surfaces that are not themselves const; the picture that is
    // read is the one with everything drawn.
    const_cast<Surface*>(this)->settle();
}

// Black picture pixels leave the surface unchanged under OR and XOR, so with
// skip_black each row is combined only where the picture has ink.
template <class Op>
GRIMBOLT_ROW_LOOPS void Surface::blit_rows(const PreparedPicture& p, std::int64_t left,
                                           std::int64_t top, const Clip& c, bool skip_black,
                                           Op op) {
    std::uint32_t* const pixels = rows() + left;
    const std::int64_t stride = stride_px();
    Changes changes;
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        std::int64_t lo = c.i0;
        std::int64_t hi = c.i1;
        if (skip_black) {
            lo = std::max<std::int64_t>(lo, p.ink_begin[std::size_t(j)]);
            hi = std::min<std::int64_t>(hi, p.ink_end[std::size_t(j)]);
        }
        if (lo >= hi)
            continue;
        std::uint32_t* drow = pixels + (top + j) * stride;
        touched_ += std::uint64_t(hi - lo);
        changes.add(top + j, left + lo, left + hi,
                    combine(drow + lo, p.row(int(j)) + lo, hi - lo, op));
    }
    mark(changes);
}

// The held-back AND drawing at its place and the OR drawing at the new one, row by
// row, cut where either drawing or either one's ink begins or ends. Where the AND
// picture is black the surface turns black, so there only the OR picture is copied.
GRIMBOLT_ROW_LOOPS
void Surface::and_then_or_rows(const PreparedPicture& p, std::int64_t left, std::int64_t top,
                               const Clip& c) {
    pending_.active = false;
    const std::int64_t a_left = pending_.left;
    const std::int64_t a0 = a_left + pending_.clip.i0;  // surface columns of each drawing
    const std::int64_t a1 = a_left + pending_.clip.i1;
    const std::int64_t b0 = left + c.i0;
    const std::int64_t b1 = left + c.i1;
    std::uint32_t* const pixels = rows();
    const std::int64_t stride = stride_px();
    Changes changes;
    // A short step: one pass a row over both drawings, the padding standing in for the
    // picture where only one of them lies.
    const std::int64_t u0 = std::min(a0, b0);
    const std::int64_t u1 = std::max(a1, b1);
    if (u0 - a_left >= -PreparedPicture::kPad && u1 - a_left <= p.width + PreparedPicture::kPad &&
        u0 - left >= -PreparedPicture::kPad && u1 - left <= p.width + PreparedPicture::kPad) {
        for (std::int64_t j = c.j0; j < c.j1; ++j) {
            std::uint32_t* drow = pixels + (top + j) * stride;
            const std::uint32_t* a_src = p.and_row(int(j)) - a_left;
            const std::uint32_t* b_src = p.or_row(int(j)) - left;
            touched_ += std::uint64_t(u1 - u0);
            changes.add(top + j, u0, u1,
                        pixel_rows::mask_paint(drow + u0, a_src + u0, b_src + u0, u1 - u0));
        }
        mark(changes);
        return;
    }
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        std::uint32_t* drow = pixels + (top + j) * stride;
        const std::uint32_t* a_src = p.row(int(j)) - a_left;  // indexed by surface column
        const std::uint32_t* b_src = p.row(int(j)) - left;
        const std::int64_t ia0 = a_left + p.ink_begin[std::size_t(j)];
        const std::int64_t ia1 = a_left + p.ink_end[std::size_t(j)];
        const std::int64_t ib0 = left + p.ink_begin[std::size_t(j)];
        const std::int64_t ib1 = left + p.ink_end[std::size_t(j)];
        std::uint32_t changed = 0;
        std::int64_t lo = a0;
        std::int64_t hi = a1;
        // A stretch of the AND drawing, cut where the OR drawing begins and ends.
        const auto under_a = [&](std::int64_t from, std::int64_t to, bool a_ink) {
            const std::int64_t cuts[4] = {from, std::clamp(b0, from, to), std::clamp(b1, from, to),
                                          to};
            for (int k = 0; k < 3; ++k) {
                const std::int64_t x = cuts[k];
                const std::int64_t n = cuts[k + 1] - x;
                if (n <= 0)
                    continue;
                touched_ += std::uint64_t(n);
                const bool in_b = k == 1;
                if (a_ink && in_b) {
                    changed |= pixel_rows::mask_paint(drow + x, a_src + x, b_src + x, n);
                } else if (a_ink) {
                    changed |= pixel_rows::mask(drow + x, a_src + x, n);
                } else if (in_b) {
                    pixel_rows::copy(drow + x, b_src + x, kOpaque, n);
                    changed = ~0u;
                } else {
                    changed |= pixel_rows::fill(drow + x, kOpaque, n);
                }
            }
        };
        const std::int64_t ink_from = std::clamp(ia0, a0, a1);
        const std::int64_t ink_to = std::clamp(ia1, ink_from, a1);
        under_a(a0, ink_from, false);
        under_a(ink_from, ink_to, true);
        under_a(ink_to, a1, false);
        // The OR drawing beyond the AND drawing, where it has ink.
        for (const auto& [from, to] : {std::pair{std::max(b0, ib0), std::min({b1, ib1, a0})},
                                       std::pair{std::max({b0, ib0, a1}), std::min(b1, ib1)}}) {
            if (from < to) {
                touched_ += std::uint64_t(to - from);
                changed |= pixel_rows::paint(drow + from, b_src + from, to - from);
                lo = std::min(lo, from);
                hi = std::max(hi, to);
            }
        }
        changes.add(top + j, lo, hi, changed);
    }
    mark(changes);
}

// For pictures drawn too large to keep prepared: each visible pixel takes its source
// pixel on the way.
GRIMBOLT_ROW_LOOPS
void Surface::blit_direct(const QImage& pic, std::int64_t left, std::int64_t top, const Clip& c,
                          bool mirrored, Rop rop) {
    const QImage source = rgb32(pic);
    const std::int64_t sw = source.width();
    const std::int64_t sh = source.height();
    scratch_.resize(std::size_t(c.i1 - c.i0));
    columns_.resize(std::size_t(c.i1 - c.i0));
    for (std::int64_t i = c.i0; i < c.i1; ++i) {
        const std::int64_t sx = ((2 * i + 1) * sw) / (2 * c.w);
        columns_[std::size_t(i - c.i0)] = std::int32_t(mirrored ? sw - 1 - sx : sx);
    }
    std::uint32_t* const pixels = rows();
    const std::int64_t stride = stride_px();
    Changes changes;
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        const std::int64_t sy = ((2 * j + 1) * sh) / (2 * c.h);
        const auto* srow = reinterpret_cast<const std::uint32_t*>(source.constScanLine(int(sy)));
        for (std::size_t k = 0; k < scratch_.size(); ++k)
            scratch_[k] = srow[columns_[k]] | kOpaque;
        std::uint32_t* drow = pixels + (top + j) * stride + left + c.i0;
        const std::int64_t n = c.i1 - c.i0;
        std::uint32_t changed = 0;
        switch (rop) {
            case Rop::SrcPaint:
                changed = combine(drow, scratch_.data(), n, Or{});
                break;
            case Rop::SrcInvert:
                changed = combine(drow, scratch_.data(), n, Xor{});
                break;
            case Rop::SrcAnd:
                changed = combine(drow, scratch_.data(), n, And{});
                break;
        }
        touched_ += std::uint64_t(n);
        changes.add(top + j, left + c.i0, left + c.i1, changed);
    }
    mark(changes);
}

}  // namespace grimbolt
