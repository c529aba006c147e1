#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <random>
#include <vector>

#include "canvas/pixel_rows.h"
#include "canvas/surface.h"

namespace grimbolt {
namespace {

QImage noise(int w, int h, std::mt19937& rng, int black_share) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool black = int(rng() % 100) < black_share;
            img.setPixel(x, y, black ? 0xFF000000u : (0xFF000000u | (rng() & 0xFFFFFF)));
        }
    }
    return img;
}

void paint_background(Surface& s, std::mt19937& rng) {
    for (int i = 0; i < 40; ++i) {
        const std::int64_t x = rng() % (s.width_px() * 15);
        const std::int64_t y = rng() % (s.height_px() * 15);
        s.box(x, y, x + 600, y + 450, rng() & 0xFFFFFF);
    }
}

// Two surfaces with the same random picture on them.
struct Twins {
    Surface together{64, 48};
    Surface apart{64, 48};
    explicit Twins(int round) {
        std::mt19937 same(round);
        paint_background(together, same);
        same.seed(round);
        paint_background(apart, same);
    }
};

// A monster's AND drawing and the OR drawing at its next place are done in one pass;
// the picture must be the one the two drawings give one after the other.
TEST(Blit, AndThenOrInOnePassGivesWhatTheTwoDrawingsGive) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        const QImage pic = noise(5 + int(rng() % 30), 3 + int(rng() % 20), rng, 40);
        Twins twins(round);
        Surface& together = twins.together;
        Surface& apart = twins.apart;

        // Any place, in or partly out of the picture; moves short and long, both ways.
        const std::int64_t x = std::int64_t(rng() % 1400) - 400;
        const std::int64_t y = std::int64_t(rng() % 1000) - 300;
        const std::int64_t step = std::int64_t(rng() % 900) - 450;
        const std::int64_t width = (rng() % 2 ? 1 : -1) * pic.width() * 15;
        for (Surface* s : {&together, &apart}) {
            s->picture(pic, x, y, width, Rop::SrcAnd);
            if (s == &apart)
                s->pixel(0, 0);  // reading makes the AND drawing happen on its own
            s->picture(pic, x + step, y, width, Rop::SrcPaint);
        }
        ASSERT_EQ(together.image(), apart.image()) << "round " << round;
    }
}

// An explosion's black disc and its picture over it are drawn in one pass; the picture
// must be the one the disc and the picture give one after the other.
TEST(Blit, DiscThenPictureInOnePassGivesWhatTheTwoDrawingsGive) {
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        const QImage pic = noise(10 + int(rng() % 40), 10 + int(rng() % 40), rng, 30);
        Twins twins(round);
        Surface& together = twins.together;
        Surface& apart = twins.apart;

        const std::int64_t cx = std::int64_t(rng() % 1400) - 200;
        const std::int64_t cy = std::int64_t(rng() % 1000) - 200;
        const std::int64_t r = rng() % 500;
        const std::int64_t grow = std::int64_t(rng() % 300) - 50;  // sometimes too small
        const Rgb colour = rng() % 3 == 0 ? kBlue : kBlack;
        for (Surface* s : {&together, &apart}) {
            s->set_fill(colour, FillStyle::Solid);
            s->set_fore_colour(colour);
            s->circle(cx, cy, r);
            if (s == &apart)
                s->pixel(0, 0);  // reading makes the disc happen on its own
            s->picture(pic, cx - r - grow, cy - r - grow, 2 * (r + grow), 2 * (r + grow),
                       Rop::SrcPaint);
        }
        ASSERT_EQ(together.image(), apart.image()) << "round " << round;
    }
}

// A drawing held back when the surface is copied is in the copy, and the copy needs
// nothing of the original afterwards.
TEST(Blit, ACopyHasWhatWasHeldBackAndOutlivesTheOriginal) {
    std::mt19937 rng(9);
    const QImage pic = noise(12, 9, rng, 30);
    auto original = std::make_unique<Surface>(40, 30);
    original->box(0, 0, 600, 450, kWhite);
    original->picture(pic, 30, 30, -180, Rop::SrcAnd);  // waits for an OR that never comes
    Surface copy = *original;
    Surface expected(40, 30);
    expected.box(0, 0, 600, 450, kWhite);
    expected.picture(pic, 30, 30, -180, Rop::SrcAnd);
    expected.pixel(0, 0);
    original.reset();
    copy.picture(pic, 30, 30, -180, Rop::SrcPaint);
    expected.picture(pic, 30, 30, -180, Rop::SrcPaint);
    EXPECT_EQ(copy.image(), expected.image());
}

// A picture OR-drawn again at the same place is skipped only while nothing has changed
// there since; anything drawn over it in between brings it back.
TEST(Blit, APictureDrawnAgainComesBackOverWhatCoveredIt) {
    std::mt19937 rng(4);
    const QImage tile = noise(8, 6, rng, 0);
    Surface s(20, 20);
    s.picture(tile, 30, 30, Rop::SrcPaint);
    const QImage once = s.image().copy();
    s.take_dirty();
    s.picture(tile, 30, 30, Rop::SrcPaint);
    EXPECT_FALSE(s.has_dirty());    // nothing changed, nothing to show
    s.box(45, 45, 60, 60, kBlack);  // over a corner of it
    s.picture(tile, 30, 30, Rop::SrcPaint);
    EXPECT_EQ(s.image(), once);
    const QImage mon = noise(10, 10, rng, 50);
    s.picture(mon, 0, 0, Rop::SrcAnd);
    s.picture(mon, 15, 0, Rop::SrcPaint);
    s.picture(tile, 30, 30, Rop::SrcPaint);
    Surface fresh(20, 20);
    fresh.picture(tile, 30, 30, Rop::SrcPaint);
    fresh.picture(mon, 0, 0, Rop::SrcAnd);
    fresh.pixel(0, 0);
    fresh.picture(mon, 15, 0, Rop::SrcPaint);
    fresh.pixel(0, 0);
    fresh.picture(tile, 30, 30, Rop::SrcPaint);
    EXPECT_EQ(s.image(), fresh.image());
}

// Reference: each destination pixel takes the source pixel nearest its centre.
QImage nearest(const QImage& pic, int w, int h) {
    QImage out(w, h, QImage::Format_RGB32);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.setPixel(i, j,
                         pic.pixel(int((2LL * i + 1) * pic.width() / (2LL * w)),
                                   int((2LL * j + 1) * pic.height() / (2LL * h))));
    return out;
}

TEST(Blit, ScaledPicturesSmallAndTooLargeToKeepFollowTheNearestPixelRule) {
    std::mt19937 rng(3);
    const QImage pic = noise(17, 13, rng, 30);
    for (const int size : {9, 40, 1100}) {  // the last is drawn without being kept
        Surface s(size + 20, size + 20);
        s.picture(pic, 150, 150, std::int64_t{size} * 15, std::int64_t{size} * 15, Rop::SrcPaint);
        EXPECT_EQ(s.image().copy(10, 10, size, size), nearest(pic, size, size)) << size;
    }
}

TEST(Blit, APictureChangedInPlaceIsDrawnAsItIsNow) {
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(0xFF0000FFu);
    Surface s(10, 10);
    s.picture(pic, 0, 0, Rop::SrcPaint);
    pic.fill(0xFF00FF00u);
    s.picture(pic, 60, 60, Rop::SrcPaint);
    EXPECT_EQ(s.pixel(0, 0), kBlue);
    EXPECT_EQ(s.pixel(4, 4), kGreen);
}

TEST(Blit, ABusyTickShowsOnlyTheCellsItTouched) {
    Surface s(1920, 1080);
    s.take_dirty();
    // Sixty small boxes spread over the picture: far more than are kept one by one.
    for (int i = 0; i < 60; ++i)
        s.box(i * 450, (i % 7) * 2000, i * 450 + 100, (i % 7) * 2000 + 100, kWhite);
    std::int64_t area = 0;
    QImage shown(1920, 1080, QImage::Format_RGB32);
    shown.fill(Qt::black);
    for (const QRect& r : s.take_dirty()) {
        area += std::int64_t(r.width()) * r.height();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                shown.setPixel(x, y, s.image().pixel(x, y));
    }
    EXPECT_EQ(shown, s.image());        // everything drawn is shown
    EXPECT_LE(area, 60 * 4 * 16 * 16);  // at most the cells each box falls in
    // Drawing the same again changes nothing and shows nothing.
    for (int i = 0; i < 60; ++i)
        s.box(i * 450, (i % 7) * 2000, i * 450 + 100, (i % 7) * 2000 + 100, kWhite);
    EXPECT_FALSE(s.has_dirty());
}

// A disc whose inside and rim share a colour is drawn a row at a time; it must cover
// exactly what the inside and the rim cover when their colours differ.
TEST(Blit, OneColourDiscCoversTheInsideAndTheRim) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        const std::int64_t cx = std::int64_t(rng() % 1500) - 300;
        const std::int64_t cy = std::int64_t(rng() % 1200) - 300;
        const std::int64_t r = rng() % 900;
        Surface one(64, 48);
        one.set_fill(kWhite, FillStyle::Solid);
        one.set_fore_colour(kWhite);
        one.circle(cx, cy, r);
        Surface two(64, 48);
        two.set_fill(kWhite, FillStyle::Solid);
        two.set_fore_colour(kYellow);
        two.circle(cx, cy, r);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(one.pixel(x, y) != kBlack, two.pixel(x, y) != kBlack)
                    << round << ": " << x << ", " << y;
    }
}

}  // namespace
}  // namespace grimbolt

#ifdef GRIMBOLT_ASAN
namespace grimbolt {
namespace {

// The row loops check whole rows instead of each pixel under AddressSanitizer: a row
// that runs one pixel past its memory must still be caught.
TEST(RowLoopsDeathTest, UnderAddressSanitizerARowPastItsMemoryIsCaught) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<std::uint32_t> row(16, 0);
    std::vector<std::uint32_t> ink(17, 0xFF);
    EXPECT_DEATH(pixel_rows::fill(row.data(), 1u, 17), "AddressSanitizer");
    EXPECT_DEATH(pixel_rows::paint(ink.data(), row.data(), 17), "AddressSanitizer");
}

}  // namespace
}  // namespace grimbolt
#endif
