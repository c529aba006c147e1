#pragma once
// The parts of a picture drawn on since they were last shown. A few rectangles are
// kept as they are; past that, the picture is cut into cells and whole cells are
// kept, so a busy frame still shows only the cells it touched.

#include <QRect>
#include <cstdint>
#include <vector>

namespace grimbolt {

class DirtyRegion {
  public:
    void resize(int width_px, int height_px);
    void add(const QRect& r);  // already inside the picture
    bool empty() const { return rects_.empty() && !cells_used_; }
    // The marked parts, as few rectangles as rows of cells allow; then empty again.
    std::vector<QRect> take();

  private:
    static constexpr int kCell = 16;
    static constexpr std::size_t kMaxRects = 32;

    void add_cells(const QRect& r);

    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<QRect> rects_;
    std::vector<std::uint8_t> cells_;
    bool cells_used_ = false;
    int first_row_ = 0;  // rows of cells that may hold marks
    int last_row_ = -1;
};

}  // namespace grimbolt
