#pragma once
// When each 16 x 16 cell of a picture last changed. A picture OR-drawn where nothing
// has changed since it was last OR-drawn there would change nothing again, and the
// tile row is drawn that way every tick.

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace grimbolt {

class CellClock {
  public:
    // Every cell counts as just changed.
    void resize(int width_px, int height_px) {
        columns_ = (width_px + kCell - 1) / kCell;
        rows_ = (height_px + kCell - 1) / kCell;
        cells_.assign(std::size_t(columns_) * std::size_t(rows_), ++now_);
    }

    std::uint64_t now() const { return now_; }

    // r lies inside the picture.
    void touch(const QRect& r) {
        ++now_;
        for_cells(r, [this](std::uint64_t& cell) { cell = now_; });
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
        if (r.isEmpty() || cells_.empty())
            return;
        const int c1 = std::min(r.right() / kCell, columns_ - 1);
        const int r1 = std::min(r.bottom() / kCell, rows_ - 1);
        for (int row = std::max(r.top() / kCell, 0); row <= r1; ++row) {
            std::uint64_t* line = cells_.data() + std::size_t(row) * columns_;
            for (int c = std::max(r.left() / kCell, 0); c <= c1; ++c)
                f(line[c]);
        }
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::uint64_t> cells_;
    std::uint64_t now_ = 0;
};

}  // namespace grimbolt
