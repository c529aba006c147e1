#pragma once
// What makes the canvas fast, behind Surface's small interface. Drawings are recorded
// and done together at the end of a frame (or when something reads the picture, or
// the record is long): a busy frame may be shared out by bands of rows between this
// thread and a worker, with the pixels of one thread drawing it in order.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "canvas/band_worker.h"
#include "canvas/cell_clock.h"
#include "canvas/dirty_region.h"
#include "canvas/draw_ops.h"
#include "canvas/picture_cache.h"
#include "canvas/share_policy.h"
#include "canvas/surface.h"

namespace grimbolt {

class Surface::Engine {
  public:
    Engine(int width_px, int height_px, Rgb background);
    // A copy has everything drawn on the original so far, and prepares its pictures anew.
    Engine(const Engine& other);
    ~Engine();
    Engine& operator=(const Engine& other);

    // Keeps what fits of the old picture at the top-left; the rest is background.
    void resize(int width_px, int height_px);

    int width_px() const { return image_.width(); }
    int height_px() const { return image_.height(); }
    const QImage& image() const { return image_; }
    Rgb pixel(int x, int y) const;  // as of the last flush

    void box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Rgb colour);
    void box_outline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                     Rgb colour);
    void point(std::int64_t x, std::int64_t y, Rgb colour);

    // A disc around the centre pixel, symmetric in both axes: its inside painted with
    // the fill colour when the fill style is solid, its rim in the fore colour.
    void set_fill(Rgb colour, FillStyle style);
    Rgb fill_colour() const { return fill_colour_; }
    FillStyle fill_style() const { return fill_style_; }
    void circle(std::int64_t cx, std::int64_t cy, std::int64_t radius);

    // A picture with its top-left corner at (x, y): at its own size; with a width
    // (negative: mirrored, covering x + width to x) and its own height; or scaled.
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, Rop rop);
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width, Rop rop);
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                 std::int64_t height, Rop rop);

    // Text at the print position; each print ends its line.
    void set_font_size(double points);
    double font_size() const { return font_points_; }
    void set_fore_colour(Rgb colour) { fore_colour_ = colour; }
    Rgb fore_colour() const { return fore_colour_; }
    void set_print_pos(std::int64_t x, std::int64_t y);
    std::int64_t current_x() const { return current_x_; }
    std::int64_t current_y() const { return current_y_; }
    std::int64_t line_height() const;  // twips
    void print(const QString& text);

    // Fills the picture with its background colour and puts the print position at 0, 0.
    void cls();

    // Pixel rectangles drawn on since the last call.
    std::vector<QRect> take_dirty();
    bool has_dirty() const { return !dirty_.empty(); }

    // Grows with every change of a pixel: equal versions, the same picture.
    std::uint64_t version() const { return changes_.latest(); }

    CanvasStats stats() const {
        return {touched_, fused_, worker_ ? worker_->helped() : 0, cache_.bytes()};
    }

    // Whether busy frames are shared with a helper thread (the default); either way
    // gives the same pixels.
    void set_helper(bool on) { helper_on_ = on; }

    // Does every drawing recorded or held back: the end of a frame.
    void flush();

  private:
    // The first row of pixels, for writing (made the picture's own first), and the
    // distance from one row to the next, in pixels.
    std::uint32_t* rows() { return reinterpret_cast<std::uint32_t*>(image_.bits()); }
    std::int64_t stride_px() const { return image_.bytesPerLine() / 4; }
    void fill_px(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Rgb colour);
    // An AND drawing not yet recorded, waiting for the OR drawing that may join it.
    struct Pending {
        bool active = false;
        qint64 image = 0;
        std::int64_t w = 0, h = 0;
        bool mirrored = false;
        std::int64_t left = 0, top = 0;
        Clip clip{};
        const PreparedPicture* picture = nullptr;
    };

    void blit(const QImage& pic, std::int64_t left, std::int64_t top, std::int64_t w,
              std::int64_t h, bool mirrored, Rop rop);
    const PreparedPicture* prepared(const QImage& pic, std::int64_t w, std::int64_t h,
                                    bool mirrored);
    static DrawOp picture_op(DrawOp::Kind kind, const PreparedPicture& p, std::int64_t left,
                             std::int64_t top, const Clip& clip);
    void blit_direct(const QImage& pic, std::int64_t left, std::int64_t top, const Clip& clip,
                     bool mirrored, Rop rop);
    // A clear and the lines printed after it are held back until something else is
    // drawn or read. The same lines again, on a picture nothing touched since they
    // were drawn, would give the same pixels, and text is the dearest thing to draw.
    struct Line {
        QString text;
        std::int64_t x = 0, y = 0;
        QFont font;
        Rgb colour = kBlack;
        bool operator==(const Line& o) const {
            return text == o.text && x == o.x && y == o.y && font == o.font && colour == o.colour;
        }
    };
    void release_text();
    void draw_text(const Line& line);
    QImage take_pixels(int width_px, int height_px);  // gives back the old ones
    static void copy_top_left(const QImage& from, QImage& to);
    // Records the AND drawing or the disc held back, before anything else draws.
    void release_held();
    DrawOp held_and() const;
    DrawOp held_disc() const;
    QRect disc_area(const Disc& d) const;
    void draw_recorded_of(const Engine& other);
    std::uint64_t record(const DrawOp& op);
    bool recorded_over(const QRect& area);
    void draw_recorded();
    Frame& frame();
    BandWorker& worker();
    void mark(const QRect& r);

    QImage image_;
    Rgb background_;
    Rgb fill_colour_ = kBlack;
    FillStyle fill_style_ = FillStyle::Transparent;
    Rgb fore_colour_ = kBlack;
    double font_points_ = 8.25;
    QFont font_;
    std::int64_t current_x_ = 0;
    std::int64_t current_y_ = 0;
    DirtyRegion dirty_;
    CellClock changes_;
    // Drawings recorded and not yet done, and what they may change.
    std::vector<DrawOp> ops_;
    std::int64_t ops_cost_ = 0;
    PlannedBlocks planned_;
    // The frame being drawn, kept apart so that its room for marks is made once.
    std::unique_ptr<Frame> frame_;
    SharePolicy policy_;
    std::chrono::steady_clock::time_point frame_start_;
    std::unique_ptr<BandWorker> worker_;
    bool helper_on_ = true;
    // Where pictures were last OR-drawn, and when: one place a slot, a newer drawing
    // taking the slot of an older one, so nothing is allocated as small pictures move.
    struct Painted {
        qint64 image = 0;
        std::int64_t w = 0, h = 0, left = 0, top = 0;
        bool mirrored = false;
        std::uint64_t when = 0;  // 0: an empty slot
        bool same_place(const Painted& o) const {
            return image == o.image && w == o.w && h == o.h && left == o.left && top == o.top &&
                   mirrored == o.mirrored;
        }
    };
    Painted& painted_slot(const Painted& place);
    bool paints_nothing(const Painted& place, const QRect& area);
    std::vector<Painted> painted_;
    Pending pending_;
    Disc disc_;
    PictureCache cache_;
    std::vector<std::int32_t> columns_;  // scratch rows for pictures too large to keep
    std::vector<std::uint32_t> scratch_;
    std::uint64_t touched_ = 0;
    std::uint64_t fused_ = 0;
    bool text_held_ = false;
    std::vector<Line> held_lines_;
    std::vector<Line> drawn_lines_;
    std::uint64_t after_lines_ = 0;  // the version right after drawn_lines_ were drawn
};

}  // namespace grimbolt
