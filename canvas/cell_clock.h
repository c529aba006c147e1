#pragma once
// When each 16 x 16 cell of a picture last changed. A picture OR-drawn where nothing
// has changed since it was last OR-drawn there would change nothing again; callers
// that draw a row of the same picture every frame draw most of it that way.

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace grimbolt {

// Calls f on every cell of a grid of square cells that r (inside the picture) touches.
template <int kCell, class T, class F>
void for_grid_cells(std::vector<T>& cells, int columns, int rows, const QRect& r, F f) {
    if (r.isEmpty() || cells.empty())
        return;
    const int c1 = std::min(r.right() / kCell, columns - 1);
    const int r1 = std::min(r.bottom() / kCell, rows - 1);
    for (int row = std::max(r.top() / kCell, 0); row <= r1; ++row) {
        T* line = cells.data() + std::size_t(row) * columns;
        for (int c = std::max(r.left() / kCell, 0); c <= c1; ++c)
            f(line[c]);
    }
}

class CellClock {
  public:
    // Every cell counts as just changed.
    void resize(int width_px, int height_px) {
        columns_ = (width_px + kCell - 1) / kCell;
        rows_ = (height_px + kCell - 1) / kCell;
        cells_.assign(std::size_t(columns_) * std::size_t(rows_), ++now_);
        latest_ = now_;
    }

    // The time of the last change.
    std::uint64_t latest() const { return latest_; }

    // The time of a drawing made now; its changes may be stamped later.
    std::uint64_t tick() { return ++now_; }

    // r lies inside the picture. A cell keeps the later of two times, so the changes of
    // drawings may be stamped in any order.
    void touch(const QRect& r) { touch(r, tick()); }
    void touch(const QRect& r, std::uint64_t when) {
        latest_ = std::max(latest_, when);
        for_cells(r, [when](std::uint64_t& cell) { cell = std::max(cell, when); });
    }

    bool unchanged_since(const QRect& r, std::uint64_t when) {
        bool unchanged = true;
        for_cells(r, [&](const std::uint64_t& cell) { unchanged = unchanged && cell <= when; });
        return unchanged;
    }

  private:
    static constexpr int kCell = 16;

    template <class F>
    void for_cells(const QRect& r, F f) {
        for_grid_cells<kCell>(cells_, columns_, rows_, r, f);
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::uint64_t> cells_;
    std::uint64_t now_ = 0;
    std::uint64_t latest_ = 0;
};

// Where drawings recorded but not yet done may change pixels, in coarse 64 x 64
// blocks: cheap to keep for every drawing, and erring only on the side of "may".
class PlannedBlocks {
  public:
    void resize(int width_px, int height_px) {
        columns_ = (width_px + kBlock - 1) / kBlock;
        rows_ = (height_px + kBlock - 1) / kBlock;
        blocks_.assign(std::size_t(columns_) * std::size_t(rows_), 0);
        done();
    }
    // r lies inside the picture.
    void plan(const QRect& r) {
        for_blocks(r, [this](std::uint32_t& b) { b = round_; });
    }
    bool planned(const QRect& r) {
        bool any = false;
        for_blocks(r, [&](const std::uint32_t& b) { any = any || b == round_; });
        return any;
    }
    // Everything planned is done.
    void done() {
        if (++round_ == 0) {  // wrapped: old marks could be taken for new ones
            std::fill(blocks_.begin(), blocks_.end(), 0);
            round_ = 1;
        }
    }

  private:
    static constexpr int kBlock = 64;

    template <class F>
    void for_blocks(const QRect& r, F f) {
        for_grid_cells<kBlock>(blocks_, columns_, rows_, r, f);
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::uint32_t> blocks_;
    std::uint32_t round_ = 1;
};

}  // namespace grimbolt
