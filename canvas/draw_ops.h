#pragma once
// Drawings recorded to be done at the end of a frame. Each one knows the rows it may
// change and can draw any band of them on its own, so the drawings of a frame can be
// shared out by rows between two threads and still give the pixels of one thread
// drawing them in order: a pixel only ever sees the drawings of its own row.

#include <QRect>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "canvas/picture_cache.h"

namespace grimbolt {

// The pixels drawn on.
struct Canvas {
    std::uint32_t* pixels = nullptr;
    std::int64_t stride = 0;  // pixels from one row to the next
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// A picture's drawn size, and the part of it inside the canvas.
struct Clip {
    std::int64_t w, h, i0, i1, j0, j1;
};

// A disc of one colour around a centre pixel, with its rows inside the canvas.
struct Disc {
    bool active = false;
    std::int64_t x0 = 0, y0 = 0, rp = 0;  // centre pixel and radius in pixels
    std::int64_t top = 0, bottom = 0;
    std::uint32_t value = 0;
};

// Half the width of a disc's row dy from its centre row; -1 outside it. Pixel
// (x0 + dx, y0 + dy) is inside when dx^2 + dy^2 <= rp^2 + rp.
std::int64_t disc_half_width(std::int64_t rp, std::int64_t dy);

struct DrawOp {
    enum class Kind : std::uint8_t {
        Fill,        // columns left..right of area's rows in value
        Disc,        // disc
        Or,          // picture at (left, top), where it has ink
        Xor,         // the same
        And,         // picture at (left, top)
        AndThenOr,   // picture AND-drawn at (and_left, top), then OR-drawn at (left, top)
        DiscThenOr,  // disc, then picture OR-drawn at (left, top) over it
    };
    Kind kind = Kind::Fill;
    std::uint64_t seq = 0;  // the surface's clock when it was drawn: its changes carry it
    QRect area;             // every pixel it may change
    std::int64_t left = 0, top = 0, right = 0;
    std::uint32_t value = 0;
    Clip clip{};
    const PreparedPicture* picture = nullptr;
    std::int64_t and_left = 0;
    Clip and_clip{};
    Disc disc{};

    // Roughly the pixels it goes over in a row: what decides whether to share.
    std::int64_t row_cost() const { return area.width(); }
};

// A rectangle a drawing changed, with the drawing's clock.
struct Mark {
    QRect rect;
    std::uint64_t seq = 0;
};

// What drawing one band of rows did. Each on its own cache line: the threads count
// into them row by row.
struct alignas(64) BandResult {
    std::uint64_t touched = 0;  // pixels gone over
    std::vector<Mark> marks;    // in the order of the drawings
};

// Draws the rows y0 <= y < y1 of the drawing.
void draw_rows(const DrawOp& op, const Canvas& canvas, std::int64_t y0, std::int64_t y1,
               BandResult& out);

// The drawings of one frame, done band by band: by the calling thread alone, or with
// the helper, each taking whole bands. Each row sees its drawings in order.
inline constexpr int kMaxBands = 16;

struct Frame {
    const DrawOp* ops = nullptr;
    std::size_t count = 0;
    Canvas canvas;
    int bands = 1;
    std::array<std::int64_t, kMaxBands + 1> edges{};  // band k: rows edges[k] to edges[k + 1]
    std::array<BandResult, kMaxBands> results;

    // Rows split into this many bands of equal height.
    void split(int count_of_bands);
    void draw_band(int k);
    // Each drawing's changes, put together again from the bands: one rectangle a
    // drawing, as if it had been drawn whole.
    template <class F>
    void for_each_mark(F f) const;
};

template <class F>
void Frame::for_each_mark(F f) const {
    std::array<std::size_t, kMaxBands> at{};
    for (;;) {
        std::uint64_t seq = UINT64_MAX;
        for (int k = 0; k < bands; ++k) {
            const std::vector<Mark>& marks = results[std::size_t(k)].marks;
            if (at[std::size_t(k)] < marks.size())
                seq = std::min(seq, marks[at[std::size_t(k)]].seq);
        }
        if (seq == UINT64_MAX)
            return;
        QRect rect;
        for (int k = 0; k < bands; ++k) {
            const std::vector<Mark>& marks = results[std::size_t(k)].marks;
            std::size_t& i = at[std::size_t(k)];
            if (i < marks.size() && marks[i].seq == seq)
                rect = rect.united(marks[i++].rect);
        }
        f(rect, seq);
    }
}

}  // namespace grimbolt
