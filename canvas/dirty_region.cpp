#include "canvas/dirty_region.h"

#include <algorithm>
#include <cstring>

namespace grimbolt {

void DirtyRegion::resize(int width_px, int height_px) {
    width_ = width_px;
    height_ = height_px;
    columns_ = (width_px + kCell - 1) / kCell;
    rows_ = (height_px + kCell - 1) / kCell;
    cells_.assign(std::size_t(columns_) * std::size_t(rows_), 0);
    cells_used_ = false;
    rects_.clear();
    first_row_ = rows_;
    last_row_ = -1;
}

void DirtyRegion::add(const QRect& r) {
    if (r.isEmpty())
        return;
    if (!cells_used_ && rects_.size() < kMaxRects) {
        rects_.push_back(r);
        return;
    }
    if (!cells_used_) {
        cells_used_ = true;
        for (const QRect& kept : rects_)
            add_cells(kept);
        rects_.clear();
    }
    add_cells(r);
}

void DirtyRegion::add_cells(const QRect& r) {
    const int c0 = r.left() / kCell;
    const int c1 = r.right() / kCell;
    const int r0 = r.top() / kCell;
    const int r1 = r.bottom() / kCell;
    for (int row = r0; row <= r1; ++row)
        std::memset(cells_.data() + std::size_t(row) * columns_ + c0, 1, std::size_t(c1 - c0 + 1));
    first_row_ = std::min(first_row_, r0);
    last_row_ = std::max(last_row_, r1);
}

std::vector<QRect> DirtyRegion::take() {
    std::vector<QRect> out;
    if (!cells_used_) {
        out.assign(rects_.begin(), rects_.end());
        rects_.clear();  // keeps its room: the next frame adds without allocating
        return out;
    }
    // Runs of marked cells in each row; a run just like the one above it extends it.
    std::vector<QRect> open;
    for (int row = first_row_; row <= last_row_; ++row) {
        std::uint8_t* cells = cells_.data() + std::size_t(row) * columns_;
        std::vector<QRect> next;
        for (int c = 0; c < columns_;) {
            if (cells[c] == 0) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < columns_ && cells[c] != 0)
                cells[c++] = 0;
            const QRect run(start * kCell, row * kCell,
                            std::min((c - start) * kCell, width_ - start * kCell),
                            std::min(kCell, height_ - row * kCell));
            auto above = std::find_if(open.begin(), open.end(), [&](const QRect& o) {
                return o.left() == run.left() && o.width() == run.width();
            });
            if (above != open.end()) {
                above->setBottom(run.bottom());
                next.push_back(*above);
                open.erase(above);
            } else {
                next.push_back(run);
            }
        }
        out.insert(out.end(), open.begin(), open.end());
        open.swap(next);
    }
    out.insert(out.end(), open.begin(), open.end());
    cells_used_ = false;
    first_row_ = rows_;
    last_row_ = -1;
    return out;
}

}  // namespace grimbolt
