#pragma once
// The canvas: a persistent picture drawn on in twips. Nothing is kept besides the
// pixels: whatever is drawn stays until something else is drawn over it.
//
// Twips to pixels: pixel = floor(twips / 15), for negative values too (-1 twip is
// pixel -1). Every primitive uses this one rule on each coordinate it is given, and
// everything is clipped to the picture, whatever the coordinates.
//
// Drawings may be done a little later than they are asked for: flush() ends a frame
// with everything drawn, and whatever reads the pixels flushes first. The getters that
// are const change nothing and tell the state as of the last flush.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace grimbolt {

using Rgb = std::uint32_t;  // 0xRRGGBB
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kBlue = 0x0000FF;
inline constexpr Rgb kYellow = 0xFFFF00;
inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kPanelGrey = 0x404040;
inline constexpr Rgb kDialogGrey = 0x808080;

// Raster operations by their GDI codes.
enum class Rop : std::uint32_t {
    SrcPaint = 0x00EE0086,   // screen OR picture
    SrcInvert = 0x00660046,  // screen XOR picture
    SrcAnd = 0x008800C6,     // screen AND picture
};

enum class FillStyle { Solid, Transparent };

inline constexpr int kTwipsPerPixel = 15;

constexpr std::int64_t to_px(std::int64_t twips) {
    const std::int64_t q = twips / kTwipsPerPixel;
    return (twips % kTwipsPerPixel < 0) ? q - 1 : q;
}

// What the canvas has done so far: its measure of work, and how it did it.
struct CanvasStats {
    std::uint64_t pixels_touched = 0;  // pixels the drawings went over, as of the last flush
    std::uint64_t fused = 0;           // pairs of drawings done in one pass over the pixels
    std::uint64_t helped = 0;          // parts of frames drawn by the helper thread
    std::size_t prepared_bytes = 0;    // pictures kept ready for drawing (a bounded cache)
};

class Surface {
  public:
    explicit Surface(int width_px = 0, int height_px = 0, Rgb background = kBlack);
    // A copy has everything drawn on the original so far, and leaves the original as it is.
    Surface(const Surface& other);
    Surface& operator=(const Surface& other);
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface();

    // Keeps what fits of the old picture at the top-left; the rest is background.
    void resize(int width_px, int height_px);
    int width_px() const;
    int height_px() const;
    bool no_pixels() const;

    void box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Rgb colour);
    void box_outline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                     Rgb colour);
    void point(std::int64_t x, std::int64_t y, Rgb colour);

    // A disc around the centre pixel, symmetric in both axes: its inside painted with
    // the fill colour when the fill style is solid, its rim in the fore colour.
    void set_fill(Rgb colour, FillStyle style);
    Rgb fill_colour() const;
    FillStyle fill_style() const;
    void circle(std::int64_t cx, std::int64_t cy, std::int64_t radius);

    // A picture with its top-left corner at (x, y): at its own size; with a width
    // (negative: mirrored, covering x + width to x) and its own height; or scaled.
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, Rop rop);
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width, Rop rop);
    void picture(const QImage& pic, std::int64_t x, std::int64_t y, std::int64_t width,
                 std::int64_t height, Rop rop);

    // Text at the print position; each print ends its line.
    void set_font_size(double points);
    double font_size() const;
    void set_fore_colour(Rgb colour);
    Rgb fore_colour() const;
    void set_print_pos(std::int64_t x, std::int64_t y);
    std::int64_t current_x() const;
    std::int64_t current_y() const;
    std::int64_t line_height() const;  // twips
    void print(const QString& text);

    // Fills the picture with its background colour and puts the print position at 0, 0.
    void cls();

    // The end of a frame: everything asked for is drawn.
    void flush();
    // The pixels, with everything drawn; shown() is the picture as of the last flush.
    const QImage& image();
    const QImage& shown() const;
    Rgb pixel(int x, int y);
    // Pixel rectangles changed since the last call, everything drawn.
    std::vector<QRect> take_dirty();
    bool has_dirty();

    // Grows with every change of a pixel, as of the last flush: equal versions, the
    // same picture.
    std::uint64_t version() const;
    CanvasStats stats() const;

    // Whether busy frames are shared with a helper thread (the default); either way
    // gives the same pixels.
    void set_helper(bool on);

  private:
    class Engine;
    std::unique_ptr<Engine> engine_;
};

}  // namespace grimbolt
