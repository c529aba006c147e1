#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "canvas/surface.h"
#include "core/number_text.h"

namespace grimbolt {
namespace {

// Count of pixels of one colour in a rectangle (inclusive pixel bounds).
int count(Surface& s, Rgb colour, int x1 = 0, int y1 = 0, int x2 = -1, int y2 = -1) {
    if (x2 < 0)
        x2 = s.width_px() - 1;
    if (y2 < 0)
        y2 = s.height_px() - 1;
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x)
            n += s.pixel(x, y) == colour;
    }
    return n;
}

QImage picture(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

TEST(Twips, FloorEvenForNegativeValues) {
    EXPECT_EQ(to_px(0), 0);
    EXPECT_EQ(to_px(14), 0);
    EXPECT_EQ(to_px(15), 1);
    EXPECT_EQ(to_px(-1), -1);
    EXPECT_EQ(to_px(-15), -1);
    EXPECT_EQ(to_px(-16), -2);
}

TEST(Box, IncludesBothCornersInEitherOrder) {
    Surface s(20, 20);
    s.box(30, 45, 75, 90, kWhite);  // pixels 2..5 x 3..6
    EXPECT_EQ(count(s, kWhite), 4 * 4);
    EXPECT_EQ(s.pixel(2, 3), kWhite);
    EXPECT_EQ(s.pixel(5, 6), kWhite);
    EXPECT_EQ(s.pixel(6, 6), kBlack);

    Surface t(20, 20);
    t.box(75, 90, 30, 45, kWhite);
    EXPECT_EQ(t.image(), s.image());
}

TEST(Box, OutlineIsOnePixelOnEachEdge) {
    Surface s(20, 20);
    s.box_outline(15, 15, 90, 60, kBlue);  // pixels 1..6 x 1..4
    EXPECT_EQ(count(s, kBlue), 2 * 6 + 2 * 2);
    EXPECT_EQ(s.pixel(3, 2), kBlack);
    EXPECT_EQ(s.pixel(1, 4), kBlue);
    EXPECT_EQ(s.pixel(6, 1), kBlue);
}

TEST(Box, ClipsAnyCoordinates) {
    Surface s(10, 10);
    constexpr auto lo = std::numeric_limits<std::int64_t>::min();
    constexpr auto hi = std::numeric_limits<std::int64_t>::max();
    s.box(lo, lo, hi, hi, kYellow);
    EXPECT_EQ(count(s, kYellow), 100);
    s.box(-1000, -1000, -16, -16, kBlack);  // wholly outside
    EXPECT_EQ(count(s, kYellow), 100);
    s.box(-1000, 0, -1, 0, kBlack);  // ends in pixel -1
    EXPECT_EQ(count(s, kYellow), 100);
    s.box_outline(lo, 0, hi, 200, kBlue);
    EXPECT_EQ(count(s, kBlue), 10);  // only the top edge shows
    s.point(hi, lo, kGreen);
    s.point(-1, 0, kGreen);
    EXPECT_EQ(count(s, kGreen), 0);
    s.point(149, 0, kGreen);
    EXPECT_EQ(s.pixel(9, 0), kGreen);
}

TEST(Picture, RasterOperationsArePerChannel) {
    QImage pic(2, 1, QImage::Format_RGB32);
    pic.setPixel(0, 0, 0xFF0F5AF0);
    pic.setPixel(1, 0, 0xFF000000);
    for (const auto& [rop, expect0, expect1] : {std::tuple{Rop::SrcPaint, 0x3F7BF5u, 0x3C21A5u},
                                                std::tuple{Rop::SrcInvert, 0x337B55u, 0x3C21A5u},
                                                std::tuple{Rop::SrcAnd, 0x0C00A0u, 0x000000u}}) {
        Surface s(2, 1);
        s.box(0, 0, 30, 0, 0x3C21A5);
        s.picture(pic, 0, 0, rop);
        EXPECT_EQ(s.pixel(0, 0), expect0) << std::hex << std::uint32_t(rop);
        EXPECT_EQ(s.pixel(1, 0), expect1) << std::hex << std::uint32_t(rop);
    }
}

TEST(Picture, OrThenXorLeavesTheBackground) {
    QImage pic(3, 3, QImage::Format_RGB32);
    for (int i = 0; i < 9; ++i)
        pic.setPixel(i % 3, i / 3, 0xFF000000u | (0x123456u * (i + 1)));
    Surface s(8, 8);
    s.picture(pic, 40, 25, Rop::SrcPaint);
    EXPECT_GT(count(s, kBlack), 0);
    EXPECT_LT(count(s, kBlack), 64);
    s.picture(pic, 40, 25, Rop::SrcInvert);
    EXPECT_EQ(count(s, kBlack), 64);
}

TEST(Picture, NegativeWidthMirrorsOntoTheColumnsLeftOfX) {
    QImage pic(3, 2, QImage::Format_RGB32);
    const QRgb c[3] = {0xFF110000, 0xFF002200, 0xFF000033};
    for (int x = 0; x < 3; ++x) {
        pic.setPixel(x, 0, c[x]);
        pic.setPixel(x, 1, c[x]);
    }
    Surface s(10, 3);
    s.picture(pic, 90, 15, -45, Rop::SrcPaint);  // covers x 45..90: pixels 3, 4, 5
    EXPECT_EQ(s.pixel(3, 1), 0x000033u);
    EXPECT_EQ(s.pixel(4, 1), 0x002200u);
    EXPECT_EQ(s.pixel(5, 1), 0x110000u);
    EXPECT_EQ(s.pixel(5, 2), 0x110000u);
    EXPECT_EQ(s.pixel(6, 1), kBlack);
    EXPECT_EQ(s.pixel(2, 1), kBlack);
    EXPECT_EQ(count(s, kBlack), 30 - 6);

    Surface t(10, 3);
    t.picture(pic, 45, 15, 45, Rop::SrcPaint);  // the same columns, not mirrored
    EXPECT_EQ(t.pixel(3, 1), 0x110000u);
    EXPECT_EQ(t.pixel(5, 1), 0x000033u);
}

TEST(Picture, ScalingPicksTheNearestSourcePixel) {
    QImage pic(2, 2, QImage::Format_RGB32);
    pic.setPixel(0, 0, 0xFF0000FF);
    pic.setPixel(1, 0, 0xFF00FF00);
    pic.setPixel(0, 1, 0xFFFF0000);
    pic.setPixel(1, 1, 0xFFFFFFFF);
    Surface s(8, 8);
    s.picture(pic, 0, 0, 60, 60, Rop::SrcPaint);  // exactly twice the size
    EXPECT_EQ(count(s, 0x0000FF, 0, 0, 1, 1), 4);
    EXPECT_EQ(count(s, 0x00FF00, 2, 0, 3, 1), 4);
    EXPECT_EQ(count(s, 0xFF0000, 0, 2, 1, 3), 4);
    EXPECT_EQ(count(s, 0xFFFFFF, 2, 2, 3, 3), 4);
    EXPECT_EQ(count(s, kBlack), 64 - 16);

    // A fireball-like odd scale covers exactly its rectangle, with source colours only.
    const QImage big = picture(166, 166, 0xFFFFA000);
    Surface u(40, 40);
    u.picture(big, 15, 30, 400, 400, Rop::SrcPaint);  // x 15..415, y 30..430: pixels 1..26 x 2..27
    EXPECT_EQ(count(u, 0xFFA000), 26 * 26);
    EXPECT_EQ(u.pixel(1, 2), 0xFFA000u);
    EXPECT_EQ(u.pixel(26, 27), 0xFFA000u);
    EXPECT_EQ(u.pixel(27, 27), kBlack);
    EXPECT_EQ(u.pixel(26, 28), kBlack);
}

TEST(Picture, PicturesOfAnyFormatAreCombinedByTheirColours) {
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0), qRgb(0x12, 0x34, 0x56)});
    indexed.fill(1);
    Surface s(4, 1);
    s.picture(indexed, 15, 0, Rop::SrcPaint);
    EXPECT_EQ(s.pixel(0, 0), kBlack);
    EXPECT_EQ(s.pixel(1, 0), 0x123456u);
    EXPECT_EQ(s.pixel(3, 0), 0x123456u);
}

TEST(Picture, ClipsAtEveryEdgeAndFarAway) {
    const QImage pic = picture(4, 4, 0xFFFFFFFF);
    Surface s(6, 6);
    s.picture(pic, -30, -30, Rop::SrcPaint);
    EXPECT_EQ(count(s, kWhite), 4);
    s.picture(pic, 75, 75, Rop::SrcPaint);
    EXPECT_EQ(count(s, kWhite), 5);
    constexpr auto hi = std::numeric_limits<std::int64_t>::max();
    constexpr auto lo = std::numeric_limits<std::int64_t>::min();
    s.picture(pic, hi, hi, Rop::SrcPaint);
    s.picture(pic, lo, 0, lo, Rop::SrcPaint);
    s.picture(pic, 0, 0, hi, hi, Rop::SrcInvert);  // a gigantic picture over everything
    EXPECT_EQ(count(s, kWhite), 36 - 5);
    s.picture(pic, lo, lo, hi, hi, Rop::SrcAnd);
    s.picture(QImage(), 0, 0, Rop::SrcPaint);  // an empty picture draws nothing
}

TEST(Circle, IsSymmetricInBothAxes) {
    Surface s(41, 41);
    s.set_fill(kWhite, FillStyle::Solid);
    s.set_fore_colour(kWhite);
    for (int r : {0, 15, 100, 150, 205, 300}) {
        s.box(0, 0, 615, 615, kBlack);
        s.circle(20 * 15 + 7, 20 * 15 + 7, r);
        for (int y = 0; y < 41; ++y) {
            for (int x = 0; x < 41; ++x) {
                ASSERT_EQ(s.pixel(x, y), s.pixel(40 - x, y)) << r << " " << x << "," << y;
                ASSERT_EQ(s.pixel(x, y), s.pixel(x, 40 - y)) << r << " " << x << "," << y;
                ASSERT_EQ(s.pixel(x, y), s.pixel(y, x)) << r << " " << x << "," << y;
            }
        }
        const int rp = r / 15;
        EXPECT_EQ(s.pixel(20 + rp, 20), kWhite);
        EXPECT_EQ(s.pixel(20 + rp + 1, 20), kBlack);
        EXPECT_EQ(s.pixel(20, 20 - rp), kWhite);
    }
}

TEST(Circle, FillsWithTheFillColourAndRimsWithTheForeColour) {
    Surface s(21, 21);
    s.box(0, 0, 400, 400, kYellow);
    s.set_fore_colour(kBlue);
    // Transparent fill: only the rim.
    s.circle(10 * 15, 10 * 15, 6 * 15);
    EXPECT_EQ(s.pixel(10, 10), kYellow);
    EXPECT_EQ(s.pixel(16, 10), kBlue);
    EXPECT_EQ(s.pixel(10, 4), kBlue);
    s.set_fill(kBlack, FillStyle::Solid);
    s.circle(10 * 15, 10 * 15, 6 * 15);
    EXPECT_EQ(s.pixel(10, 10), kBlack);
    EXPECT_EQ(s.pixel(15, 10), kBlack);
    EXPECT_EQ(s.pixel(16, 10), kBlue);
    EXPECT_EQ(s.pixel(17, 10), kYellow);
    // The fill settings stay until changed.
    EXPECT_EQ(s.fill_colour(), kBlack);
    EXPECT_EQ(s.fill_style(), FillStyle::Solid);
    // Every pixel inside is either fill or rim: no holes.
    for (int y = 4; y <= 16; ++y) {
        for (int x = 4; x <= 16; ++x) {
            const int dx = x - 10, dy = y - 10;
            if (dx * dx + dy * dy <= 36 + 6) {
                EXPECT_NE(s.pixel(x, y), kYellow) << x << "," << y;
            } else {
                EXPECT_EQ(s.pixel(x, y), kYellow) << x << "," << y;
            }
        }
    }
}

TEST(Circle, HugeAndFarCirclesAreClipped) {
    Surface s(10, 10);
    s.set_fill(kGreen, FillStyle::Solid);
    s.circle(75, 75, std::int64_t{1} << 50);
    EXPECT_EQ(count(s, kGreen), 100);
    s.set_fill(kBlack, FillStyle::Solid);
    s.circle(-(std::int64_t{1} << 50), 0, 1000);
    s.circle(0, 0, -5);
    EXPECT_EQ(count(s, kGreen), 100);
}

TEST(Surface, ResizeKeepsTheTopLeftAndClsUsesTheBackground) {
    Surface s(4, 4, kPanelGrey);
    EXPECT_EQ(count(s, kPanelGrey), 16);
    s.box(0, 0, 15, 15, kWhite);  // pixels 0..1
    s.resize(6, 3);
    EXPECT_EQ(s.width_px(), 6);
    EXPECT_EQ(s.pixel(1, 1), kWhite);
    EXPECT_EQ(s.pixel(5, 2), kPanelGrey);
    s.set_print_pos(300, 300);
    s.cls();
    EXPECT_EQ(count(s, kPanelGrey), 18);
    EXPECT_EQ(s.current_x(), 0);
    EXPECT_EQ(s.current_y(), 0);
}

TEST(Surface, RemembersWhatWasDrawnOn) {
    Surface s(100, 100);
    s.take_dirty();
    s.box(150, 150, 300, 300, kWhite);
    s.picture(picture(4, 4, 0xFFFFFFFF), 600, 600, Rop::SrcPaint);
    s.box(-500, -500, -100, -100, kWhite);  // outside: nothing to show
    const std::vector<QRect> dirty = s.take_dirty();
    ASSERT_EQ(dirty.size(), 2u);
    EXPECT_EQ(dirty[0], QRect(10, 10, 11, 11));
    EXPECT_EQ(dirty[1], QRect(40, 40, 4, 4));
    EXPECT_FALSE(s.has_dirty());
    for (int i = 0; i < 1000; ++i)
        s.point(i % 100 * 15, i / 10 * 15, kBlue);
    const std::vector<QRect> many = s.take_dirty();
    EXPECT_LE(many.size(), 128u);
    QRect all;
    for (const QRect& r : many)
        all |= r;
    EXPECT_EQ(all, QRect(0, 0, 100, 100));
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

// Thousands of primitives with coordinates from every range a game could produce and
// far beyond: nothing may be written outside the picture, and nothing may fail.
TEST(Surface, SurvivesAnyCoordinates) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    const std::int64_t ranges[] = {200,
                                   3000,
                                   100000,
                                   std::int64_t{1} << 31,
                                   std::int64_t{1} << 45,
                                   std::numeric_limits<std::int64_t>::max()};
    const auto coordinate = [&] {
        const std::int64_t range = ranges[next() % 6];
        const auto v = static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(range));
        return (next() & 1) ? v : -v;
    };
    QImage pic(5, 3, QImage::Format_RGB32);
    pic.fill(0xFF0F0F0F);
    Surface s(17, 11);
    s.set_font_size(9);
    s.set_fore_colour(kGreen);
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t a = coordinate(), b = coordinate(), c = coordinate(), d = coordinate();
        switch (next() % 8) {
            case 0:
                s.box(a, b, c, d, Rgb(next() & 0xFFFFFF));
                break;
            case 1:
                s.box_outline(a, b, c, d, kBlue);
                break;
            case 2:
                s.point(a % 400, b % 400, kWhite);
                break;
            case 3:
                s.set_fill(kYellow, (next() & 1) ? FillStyle::Solid : FillStyle::Transparent);
                s.circle(a % 1000, b % 1000, c);
                break;
            case 4:
                s.picture(pic, a % 600, b % 600, Rop::SrcInvert);
                break;
            case 5:
                s.picture(pic, a, b, c, Rop::SrcPaint);
                break;
            case 6:
                s.picture(pic, a % 600, b % 600, c % 3000, d % 3000, Rop::SrcAnd);
                break;
            case 7:
                s.set_print_pos(a % 500, b % 500);
                s.print(QStringLiteral("Очки: ") + number_text(c % 100000));
                break;
        }
    }
    EXPECT_EQ(s.width_px(), 17);
    EXPECT_EQ(s.height_px(), 11);
    // The picture stays opaque: no operation leaks into the alpha byte.
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 17; ++x)
            EXPECT_EQ(qAlpha(s.image().pixel(x, y)), 255);
    }
}

}  // namespace
}  // namespace grimbolt
