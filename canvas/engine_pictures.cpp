// Pictures combined with the surface by the raster operations. An AND drawing is held
// back a moment, so that an OR drawing of the same picture on the same rows that
// follows it can be done in the same pass over the pixels; a one-colour disc is held
// back the same way for a picture OR-drawn over it.

#include "canvas/engine.h"

#include "canvas/pixel_rows.h"

#include <algorithm>

namespace grimbolt {

// Places remembered for OR drawings: room for a row of some two thousand pictures,
// with few of them sharing a slot.
constexpr std::size_t kPaintedSlots = 2048;

Surface::Engine::Painted& Surface::Engine::painted_slot(const Painted& place) {
    if (painted_.empty())
        painted_.resize(kPaintedSlots);
    std::size_t h = std::hash<qint64>()(place.image);
    for (const std::int64_t v : {place.w, place.h, place.left, place.top})
        h = h * 1000003u ^ std::hash<std::int64_t>()(v);
    return painted_[(h * 2 + (place.mirrored ? 1 : 0)) % kPaintedSlots];
}

// An OR drawing again where the same picture was OR-drawn and nothing has changed
// since: nothing would change now.
bool Surface::Engine::paints_nothing(const Painted& place, const QRect& area) {
    const Painted& slot = painted_slot(place);
    return slot.when != 0 && slot.same_place(place) && !recorded_over(area) &&
           changes_.unchanged_since(area, slot.when);
}

// A new picture may put out an old one that recorded drawings still point to:
// those are done first.
const PreparedPicture* Surface::Engine::prepared(const QImage& pic, std::int64_t w, std::int64_t h,
                                                 bool mirrored) {
    if (const PreparedPicture* kept = cache_.find(pic, w, h, mirrored))
        return kept;
    if (cache_.full_for(w, h))
        draw_recorded();
    return cache_.get(pic, w, h, mirrored);
}

DrawOp Surface::Engine::picture_op(DrawOp::Kind kind, const PreparedPicture& p, std::int64_t left,
                                   std::int64_t top, const Clip& c) {
    DrawOp op;
    op.kind = kind;
    op.picture = &p;
    op.left = left;
    op.top = top;
    op.clip = c;
    op.area = QRect(int(left + c.i0), int(top + c.j0), int(c.i1 - c.i0), int(c.j1 - c.j0));
    return op;
}

void Surface::Engine::blit(const QImage& pic, std::int64_t left, std::int64_t top, std::int64_t w,
                           std::int64_t h, bool mirrored, Rop rop) {
    const bool continues = pending_.active && rop == Rop::SrcPaint &&
                           pending_.image == pic.cacheKey() && pending_.w == w && pending_.h == h &&
                           pending_.mirrored == mirrored && pending_.top == top;
    const bool over_disc = disc_.active && rop == Rop::SrcPaint;
    if (!continues && !over_disc)
        release_held();
    if (pic.isNull() || w <= 0 || h <= 0 || pic.width() <= 0 || pic.height() <= 0) {
        release_held();
        return;
    }
    const Clip c{w,
                 h,
                 std::max<std::int64_t>(0, -left),
                 std::min<std::int64_t>(w, image_.width() - left),
                 std::max<std::int64_t>(0, -top),
                 std::min<std::int64_t>(h, image_.height() - top)};
    if (c.i0 >= c.i1 || c.j0 >= c.j1) {
        release_held();
        return;
    }
    const QRect area(int(left + c.i0), int(top + c.j0), int(c.i1 - c.i0), int(c.j1 - c.j0));
    const Painted place{pic.cacheKey(), w, h, left, top, mirrored};
    if (rop == Rop::SrcPaint && !continues && !over_disc && paints_nothing(place, area))
        return;
    const PreparedPicture* p = prepared(pic, w, h, mirrored);
    if (p == nullptr) {
        flush();
        blit_direct(pic, left, top, c, mirrored, rop);
        return;
    }
    if (continues) {
        // The AND drawing and this one in one pass: the padded rows are made here, as
        // the drawing threads only read.
        pending_.active = false;
        p->and_row(0);
        p->or_row(0);
        DrawOp op = picture_op(DrawOp::Kind::AndThenOr, *p, left, top, c);
        op.and_left = pending_.left;
        op.and_clip = pending_.clip;
        op.area = op.area.united(picture_op(op.kind, *p, pending_.left, top, pending_.clip).area);
        ++fused_;
        record(op);
        return;
    }
    if (over_disc) {
        // The disc wholly under the picture: both in one pass.
        if (area.contains(disc_area(disc_))) {
            DrawOp op = picture_op(DrawOp::Kind::DiscThenOr, *p, left, top, c);
            op.disc = disc_;
            disc_.active = false;
            ++fused_;
            record(op);
            return;
        }
        release_held();
    }
    switch (rop) {
        case Rop::SrcPaint: {
            if (paints_nothing(place, area))
                return;
            Painted& slot = painted_slot(place);
            slot = place;
            slot.when = record(picture_op(DrawOp::Kind::Or, *p, left, top, c));
            break;
        }
        case Rop::SrcInvert:
            record(picture_op(DrawOp::Kind::Xor, *p, left, top, c));
            break;
        case Rop::SrcAnd:
            // Held back: an OR drawing of the same picture on the same rows may follow.
            pending_ = {true, pic.cacheKey(), w, h, mirrored, left, top, c, p};
            break;
    }
}

// For pictures drawn too large to keep prepared: each visible pixel takes its source
// pixel on the way. Done at once, after everything recorded.
GRIMBOLT_ROW_LOOPS
void Surface::Engine::blit_direct(const QImage& pic, std::int64_t left, std::int64_t top,
                                  const Clip& c, bool mirrored, Rop rop) {
    const QImage source = rgb32(pic);
    const std::int64_t sw = source.width();
    const std::int64_t sh = source.height();
    scratch_.resize(std::size_t(c.i1 - c.i0));
    columns_.resize(std::size_t(c.i1 - c.i0));
    for (std::int64_t i = c.i0; i < c.i1; ++i) {
        const std::int64_t sx = nearest_source(i, sw, c.w);
        columns_[std::size_t(i - c.i0)] = std::int32_t(mirrored ? sw - 1 - sx : sx);
    }
    std::uint32_t* const pixels = rows();
    const std::int64_t stride = stride_px();
    std::int64_t first = -1;
    std::int64_t last = -1;
    for (std::int64_t j = c.j0; j < c.j1; ++j) {
        const std::int64_t sy = nearest_source(j, sh, c.h);
        const auto* srow = reinterpret_cast<const std::uint32_t*>(source.constScanLine(int(sy)));
        for (std::size_t k = 0; k < scratch_.size(); ++k)
            scratch_[k] = srow[columns_[k]] | kOpaque;
        std::uint32_t* drow = pixels + (top + j) * stride + left + c.i0;
        const std::int64_t n = c.i1 - c.i0;
        std::uint32_t changed = 0;
        switch (rop) {
            case Rop::SrcPaint:
                changed = pixel_rows::paint(drow, scratch_.data(), n);
                break;
            case Rop::SrcInvert:
                changed = pixel_rows::invert(drow, scratch_.data(), n);
                break;
            case Rop::SrcAnd:
                changed = pixel_rows::mask(drow, scratch_.data(), n);
                break;
        }
        touched_ += std::uint64_t(n);
        if (changed != 0) {
            first = first < 0 ? top + j : first;
            last = top + j;
        }
    }
    if (first >= 0)
        mark(QRect(QPoint(int(left + c.i0), int(first)), QPoint(int(left + c.i1 - 1), int(last))));
}

}  // namespace grimbolt
