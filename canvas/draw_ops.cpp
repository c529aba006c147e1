// The row loops of every drawing, each limited to a band of rows. A busy frame draws
// dozens of pictures, so this is where the time goes: pictures come prepared
// at their drawn size (picture_cache.h), rows are combined in loops the compiler
// vectorises (pixel_rows.h), and black runs are skipped where black changes nothing.

#include "canvas/draw_ops.h"

#include <algorithm>
#include <cmath>

#include "canvas/band_worker.h"
#include "canvas/pixel_rows.h"

namespace grimbolt {
namespace {

// Largest h with h * h <= v, for 0 <= v < 2^62.
std::int64_t isqrt(std::int64_t v) {
    auto h = static_cast<std::int64_t>(std::sqrt(static_cast<double>(v)));
    while (h > 0 && h * h > v)
        --h;
    while ((h + 1) * (h + 1) <= v)
        ++h;
    return h;
}

// Rows of a drawing that changed something, and how far they reached.
struct Changes {
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

    void report(const DrawOp& op, BandResult& out) const {
        if (first >= 0)
            out.marks.push_back(
                {QRect(QPoint(int(lo), int(first)), QPoint(int(hi - 1), int(last))), op.seq});
    }
};

// The row loops by type, so that each is compiled into the loop that calls it.
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

// The picture rows j0 <= j < j1 of a drawing at top that lie in the band y0 <= y < y1.
struct PictureRows {
    std::int64_t j0, j1;
};

PictureRows in_band(const DrawOp& op, std::int64_t y0, std::int64_t y1) {
    return {std::max(op.clip.j0, y0 - op.top), std::min(op.clip.j1, y1 - op.top)};
}

GRIMBOLT_ROW_LOOPS
void fill_rows(const DrawOp& op, const Canvas& cv, std::int64_t y0, std::int64_t y1,
               BandResult& out) {
    const std::int64_t n = op.right - op.left + 1;
    // Rows that already hold the colour are left alone, and are not shown again.
    Changes changes;
    for (std::int64_t y = std::max<std::int64_t>(y0, op.area.top());
         y < std::min<std::int64_t>(y1, op.area.bottom() + 1); ++y) {
        out.touched += std::uint64_t(n);
        changes.add(y, op.left, op.right + 1,
                    pixel_rows::fill(cv.pixels + y * cv.stride + op.left, op.value, n));
    }
    changes.report(op, out);
}

// One span a row.
GRIMBOLT_ROW_LOOPS
void disc_rows(const DrawOp& op, const Canvas& cv, std::int64_t y0, std::int64_t y1,
               BandResult& out) {
    const Disc& d = op.disc;
    const std::int64_t last_x = cv.width - 1;
    Changes changes;
    for (std::int64_t y = std::max(d.top, y0); y < std::min(d.bottom + 1, y1); ++y) {
        const std::int64_t hw = disc_half_width(d.rp, y - d.y0);
        const std::int64_t l = std::max<std::int64_t>(d.x0 - hw, 0);
        const std::int64_t r = std::min<std::int64_t>(d.x0 + hw, last_x);
        if (hw < 0 || l > r)
            continue;
        out.touched += std::uint64_t(r - l + 1);
        const std::uint32_t changed =
            pixel_rows::fill(cv.pixels + y * cv.stride + l, d.value, r - l + 1);
        // The disc is shown as its whole width.
        changes.add(y, op.area.left(), op.area.right() + 1, changed);
    }
    changes.report(op, out);
}

// Black picture pixels leave the canvas unchanged under OR and XOR, so those are
// combined only where the picture has ink.
template <class Row>
GRIMBOLT_ROW_LOOPS void picture_rows(const DrawOp& op, const Canvas& cv, std::int64_t y0,
                                     std::int64_t y1, bool skip_black, BandResult& out) {
    const PreparedPicture& p = *op.picture;
    const Clip& c = op.clip;
    std::uint32_t* const pixels = cv.pixels + op.left;
    Changes changes;
    const PictureRows band = in_band(op, y0, y1);
    for (std::int64_t j = band.j0; j < band.j1; ++j) {
        std::int64_t lo = c.i0;
        std::int64_t hi = c.i1;
        if (skip_black) {
            lo = std::max<std::int64_t>(lo, p.ink_begin[std::size_t(j)]);
            hi = std::min<std::int64_t>(hi, p.ink_end[std::size_t(j)]);
        }
        if (lo >= hi)
            continue;
        std::uint32_t* drow = pixels + (op.top + j) * cv.stride;
        out.touched += std::uint64_t(hi - lo);
        changes.add(op.top + j, op.left + lo, op.left + hi,
                    Row::row(drow + lo, p.row(int(j)) + lo, hi - lo));
    }
    changes.report(op, out);
}

// The AND drawing at its place and the OR drawing at the new one, row by row, cut
// where either drawing or either one's ink begins or ends. Where the AND picture is
// black the canvas turns black, so there only the OR picture is copied.
GRIMBOLT_ROW_LOOPS
void and_then_or_rows(const DrawOp& op, const Canvas& cv, std::int64_t y0, std::int64_t y1,
                      BandResult& out) {
    const PreparedPicture& p = *op.picture;
    const std::int64_t left = op.left;
    const std::int64_t top = op.top;
    const std::int64_t a_left = op.and_left;
    const std::int64_t a0 = a_left + op.and_clip.i0;  // canvas columns of each drawing
    const std::int64_t a1 = a_left + op.and_clip.i1;
    const std::int64_t b0 = left + op.clip.i0;
    const std::int64_t b1 = left + op.clip.i1;
    std::uint32_t* const pixels = cv.pixels;
    const std::int64_t stride = cv.stride;
    const PictureRows band = in_band(op, y0, y1);
    Changes changes;
    // A short step: one pass a row over both drawings, the padding standing in for the
    // picture where only one of them lies.
    const std::int64_t u0 = std::min(a0, b0);
    const std::int64_t u1 = std::max(a1, b1);
    if (u0 - a_left >= -PreparedPicture::kPad && u1 - a_left <= p.width + PreparedPicture::kPad &&
        u0 - left >= -PreparedPicture::kPad && u1 - left <= p.width + PreparedPicture::kPad) {
        for (std::int64_t j = band.j0; j < band.j1; ++j) {
            std::uint32_t* drow = pixels + (top + j) * stride;
            const std::uint32_t* a_src = p.and_row(int(j)) - a_left;
            const std::uint32_t* b_src = p.or_row(int(j)) - left;
            out.touched += std::uint64_t(u1 - u0);
            changes.add(top + j, u0, u1,
                        pixel_rows::mask_paint(drow + u0, a_src + u0, b_src + u0, u1 - u0));
        }
        changes.report(op, out);
        return;
    }
    for (std::int64_t j = band.j0; j < band.j1; ++j) {
        std::uint32_t* drow = pixels + (top + j) * stride;
        const std::uint32_t* a_src = p.row(int(j)) - a_left;  // indexed by canvas column
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
                out.touched += std::uint64_t(n);
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
                out.touched += std::uint64_t(to - from);
                changed |= pixel_rows::paint(drow + from, b_src + from, to - from);
                lo = std::min(lo, from);
                hi = std::max(hi, to);
            }
        }
        changes.add(top + j, lo, hi, changed);
    }
    changes.report(op, out);
}

// The disc and the picture over it, row by row: inside the disc the picture lands on
// the disc's colour, so nothing there needs reading; outside it the picture is
// OR-drawn where it has ink.
GRIMBOLT_ROW_LOOPS
void disc_then_or_rows(const DrawOp& op, const Canvas& cv, std::int64_t y0, std::int64_t y1,
                       BandResult& out) {
    const PreparedPicture& p = *op.picture;
    const Disc& d = op.disc;
    const std::int64_t left = op.left;
    const std::int64_t last_x = cv.width - 1;
    Changes changes;
    const auto paint = [&](std::uint32_t* drow, const std::uint32_t* src, std::int64_t from,
                           std::int64_t to) -> std::uint32_t {
        if (from >= to)
            return 0;
        out.touched += std::uint64_t(to - from);
        return pixel_rows::paint(drow + from, src + from, to - from);
    };
    const PictureRows band = in_band(op, y0, y1);
    for (std::int64_t j = band.j0; j < band.j1; ++j) {
        const std::int64_t y = op.top + j;
        std::uint32_t* drow = cv.pixels + y * cv.stride;
        const std::uint32_t* src = p.row(int(j)) - left;  // indexed by canvas column
        const std::int64_t ink0 = std::max(left + op.clip.i0, left + p.ink_begin[std::size_t(j)]);
        const std::int64_t ink1 = std::min(left + op.clip.i1, left + p.ink_end[std::size_t(j)]);
        const std::int64_t hw = y >= d.top && y <= d.bottom ? disc_half_width(d.rp, y - d.y0) : -1;
        const std::int64_t l = std::max<std::int64_t>(d.x0 - hw, 0);
        const std::int64_t r = std::min<std::int64_t>(d.x0 + hw, last_x) + 1;
        if (hw < 0 || l >= r) {
            changes.add(y, ink0, ink1, paint(drow, src, ink0, ink1));
            continue;
        }
        std::uint32_t changed = paint(drow, src, ink0, std::min(ink1, l));
        pixel_rows::copy(drow + l, src + l, d.value, r - l);
        out.touched += std::uint64_t(r - l);
        changed |= paint(drow, src, std::max(ink0, r), ink1);
        changes.add(y, std::min(l, ink0), std::max(r, ink1), changed | 1u);
    }
    changes.report(op, out);
}

}  // namespace

std::int64_t disc_half_width(std::int64_t rp, std::int64_t dy) {
    if (dy < -rp || dy > rp)
        return -1;
    if (rp < (std::int64_t{1} << 30))
        return isqrt(rp * rp + rp - dy * dy);
    const long double v =
        static_cast<long double>(rp) * rp + rp - static_cast<long double>(dy) * dy;
    return static_cast<std::int64_t>(std::sqrt(v));
}

void draw_rows(const DrawOp& op, const Canvas& canvas, std::int64_t y0, std::int64_t y1,
               BandResult& out) {
    if (y0 > op.area.bottom() || y1 <= op.area.top())
        return;
    switch (op.kind) {
        case DrawOp::Kind::Fill:
            fill_rows(op, canvas, y0, y1, out);
            break;
        case DrawOp::Kind::Disc:
            disc_rows(op, canvas, y0, y1, out);
            break;
        case DrawOp::Kind::Or:
            picture_rows<Or>(op, canvas, y0, y1, true, out);
            break;
        case DrawOp::Kind::Xor:
            picture_rows<Xor>(op, canvas, y0, y1, true, out);
            break;
        case DrawOp::Kind::And:
            picture_rows<And>(op, canvas, y0, y1, false, out);
            break;
        case DrawOp::Kind::AndThenOr:
            and_then_or_rows(op, canvas, y0, y1, out);
            break;
        case DrawOp::Kind::DiscThenOr:
            disc_then_or_rows(op, canvas, y0, y1, out);
            break;
    }
}

void Frame::split(int count_of_bands) {
    bands = std::clamp(count_of_bands, 1, kMaxBands);
    for (int k = 0; k <= bands; ++k)
        edges[std::size_t(k)] = canvas.height * k / bands;
}

void Frame::draw_band(int k) {
    const std::int64_t y0 = edges[std::size_t(k)];
    const std::int64_t y1 = edges[std::size_t(k) + 1];
    BandResult& out = results[std::size_t(k)];
    for (std::size_t i = 0; i < count; ++i)
        draw_rows(ops[i], canvas, y0, y1, out);
}

}  // namespace grimbolt
