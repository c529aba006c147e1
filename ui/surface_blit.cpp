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

std::uint32_t and_then_or(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                          std::int64_t n) {
    return n > 0 ? pixel_rows::mask_paint(dst, a, b, n) : 0;
}

}  // namespace

// Places remembered for OR drawings: the tile row and a few more.
constexpr std::size_t kPaintedMemory = 4096;

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

std::size_t Surface::PaintedHash::operator()(const Painted& p) const {
    std::size_t h = std::hash<qint64>()(p.image);
    for (const std::int64_t v : {p.w, p.h, p.left, p.top})
        h = h * 1000003u ^ std::hash<std::int64_t>()(v);
    return h * 2 + (p.mirrored ? 1 : 0);
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
    if (!continues)
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
    switch (rop) {
        case Rop::SrcPaint: {
            // OR-drawn again where nothing changed since: nothing would change now.
            const Painted key{pic.cacheKey(), w, h, left, top, mirrored};
            const QRect area(int(left + c.i0), int(top + c.j0), int(c.i1 - c.i0),
                             int(c.j1 - c.j0));
            const auto found = painted_.find(key);
            if (found != painted_.end() && changes_.unchanged_since(area, found->second))
                return;
            blit_rows(*p, left, top, c, true, Or{});
            if (painted_.size() >= kPaintedMemory)
                painted_.clear();
            painted_[key] = changes_.now();
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
    if (!pending_.active)
        return;
    pending_.active = false;
    blit_rows(*pending_.picture, pending_.left, pending_.top, pending_.clip, false, And{});
}

void Surface::settle() const {
    // Only ever called on surfaces that are not themselves const; the picture that is
    // read is the one with everything drawn.
    const_cast<Surface*>(this)->settle();
}

// Black picture pixels leave the surface unchanged under OR and XOR, so with
// skip_black each row is combined only where the picture has ink.
template <class Op>
void Surface::blit_rows(const PreparedPicture& p, std::int64_t left, std::int64_t top,
                        const Clip& c, bool skip_black, Op op) {
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
// row: columns under the AND picture only, under both, and under the OR picture only.
void Surface::and_then_or_rows(const PreparedPicture& p, std::int64_t left, std::int64_t top,
                               const Clip& c) {
    pending_.active = false;
    const std::int64_t a_left = pending_.left;
    const Clip& a = pending_.clip;
    // Surface columns of each drawing.
    const std::int64_t a0 = a_left + a.i0;
    const std::int64_t a1 = a_left + a.i1;
    const std::int64_t b0 = left + c.i0;
    const std::int64_t b1 = left + c.i1;
    std::uint32_t* const pixels = rows();
    const std::int64_t stride = stride_px();
    Changes changes;
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        std::uint32_t* drow = pixels + (top + j) * stride;
        const std::uint32_t* src = p.row(int(j));
        const std::uint32_t* a_src = src - a_left;  // indexed by surface column
        const std::uint32_t* b_src = src - left;
        const std::int64_t ink0 = std::max(b0, left + p.ink_begin[std::size_t(j)]);
        const std::int64_t ink1 = std::min(b1, left + p.ink_end[std::size_t(j)]);
        std::uint32_t changed = 0;
        std::int64_t lo = a0;
        std::int64_t hi = a1;
        // AND only, left of the OR drawing.
        const std::int64_t both0 = std::max(a0, b0);
        const std::int64_t both1 = std::min(a1, b1);
        if (both0 < both1) {
            changed |= combine(drow + a0, a_src + a0, both0 - a0, And{});
            changed |= and_then_or(drow + both0, a_src + both0, b_src + both0, both1 - both0);
            changed |= combine(drow + both1, a_src + both1, a1 - both1, And{});
            touched_ += std::uint64_t(a1 - a0);
            // OR only, outside the AND drawing, where the picture has ink.
            for (const auto& [from, to] :
                 {std::pair{ink0, std::min(ink1, a0)}, std::pair{std::max(ink0, a1), ink1}}) {
                if (from < to) {
                    changed |= combine(drow + from, b_src + from, to - from, Or{});
                    touched_ += std::uint64_t(to - from);
                    lo = std::min(lo, from);
                    hi = std::max(hi, to);
                }
            }
        } else {
            changed |= combine(drow + a0, a_src + a0, a1 - a0, And{});
            const std::uint32_t ored =
                ink0 < ink1 ? combine(drow + ink0, b_src + ink0, ink1 - ink0, Or{}) : 0;
            touched_ +=
                std::uint64_t(a1 - a0) + std::uint64_t(std::max<std::int64_t>(0, ink1 - ink0));
            changed |= ored;
            if (ink0 < ink1) {
                lo = std::min(lo, ink0);
                hi = std::max(hi, ink1);
            }
        }
        changes.add(top + j, lo, hi, changed);
    }
    mark(changes);
}

// For pictures drawn too large to keep prepared: each visible pixel takes its source
// pixel on the way.
void Surface::blit_direct(const QImage& pic, std::int64_t left, std::int64_t top, const Clip& c,
                          bool mirrored, Rop rop) {
    const QImage source =
        pic.format() == QImage::Format_RGB32 || pic.format() == QImage::Format_ARGB32
            ? pic
            : pic.convertToFormat(QImage::Format_RGB32);
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
