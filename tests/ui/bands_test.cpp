// Drawing shared out by rows between two threads must give what one thread gives.

#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <atomic>
#include <random>
#include <vector>

#include "ui/band_worker.h"
#include "ui/surface.h"

namespace grimbolt {
namespace {

QImage noise(int w, int h, std::mt19937& rng) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, rng() % 3 == 0 ? 0xFF000000u : (0xFF000000u | (rng() & 0xFFFFFF)));
    }
    return img;
}

TEST(BandWorker, EveryBandIsDrawnOnceInEveryJob) {
    BandWorker worker;
    std::vector<std::atomic<int>> drawn(16);
    std::mt19937 rng(3);
    for (int job = 0; job < 5000; ++job) {
        const int bands = 1 + int(rng() % 16);
        for (auto& d : drawn)
            d = 0;
        auto band = [&](int k) {
            for (volatile int spin = 0; spin < 200; ++spin) {
            }
            ++drawn[std::size_t(k)];
        };
        if (job % 2 == 0) {
            worker.run(bands, band);
        } else {  // in two steps, with other work between
            worker.start(
                bands, [](void* b, int k) { (*static_cast<decltype(band)*>(b))(k); }, &band);
            worker.finish();
        }
        for (int k = 0; k < 16; ++k)
            ASSERT_EQ(drawn[std::size_t(k)], k < bands ? 1 : 0) << "job " << job << " band " << k;
    }
    EXPECT_GT(worker.helped(), 0u);
}

// A tick's worth of everything the game draws: boxes, monsters moving (AND then OR),
// growing fireballs over black discs, XOR, a row of tiles OR-drawn in the same places,
// and pictures so large and many that the cache must put some out in the middle.
struct Ticks {
    std::mt19937 rng;
    QImage monster, fireball, tile, big;
    explicit Ticks(unsigned seed) : rng(seed) {
        monster = noise(107, 74, rng);
        fireball = noise(60, 60, rng);
        tile = noise(40, 30, rng);
        big = noise(300, 300, rng);
    }

    void tick(Surface& s, int n) {
        std::mt19937 r{unsigned(n)};
        for (int i = 0; i < 20; ++i) {
            const std::int64_t x = std::int64_t(r() % 11000) - 800;
            const std::int64_t y = std::int64_t(r() % 8000) - 600;
            s.box(x, y, x + std::int64_t(r() % 3000), y + std::int64_t(r() % 2000), r() & 0xFFFFFF);
        }
        for (int i = 0; i < 12; ++i) {  // monsters
            const std::int64_t x = std::int64_t(r() % 10000) - 500;
            const std::int64_t y = std::int64_t(r() % 7000) - 500;
            const std::int64_t w = (i % 2 ? 1 : -1) * 107 * 15;
            const std::int64_t step = r() % 4 == 0 ? 2000 : 150;
            s.picture(monster, x, y, w, Rop::SrcAnd);
            s.picture(monster, x + step, y, w, Rop::SrcPaint);
        }
        s.set_fill(kBlack, FillStyle::Solid);
        for (int i = 0; i < 8; ++i) {  // fireballs
            const std::int64_t x = std::int64_t(r() % 9000);
            const std::int64_t y = std::int64_t(r() % 7000);
            const std::int64_t radius = 100 + 100 * ((n + i) % 15);
            s.circle(x, y, radius + 15);
            s.picture(fireball, x - radius - 100, y - radius - 100, 2 * radius + 200,
                      2 * radius + 200, Rop::SrcPaint);
        }
        for (int i = 0; i < 16; ++i)  // tiles
            s.picture(tile, i * 600, 6600, Rop::SrcPaint);
        s.picture(monster, std::int64_t(r() % 9000), std::int64_t(r() % 6000), Rop::SrcInvert);
        if (n % 4 == 3) {  // a reading in the middle
            EXPECT_EQ(s.pixel(int(r() % 640), int(r() % 480)) >> 24, 0u);
        }
        if (n % 5 == 4) {  // more sizes than the cache keeps
            for (int k = 0; k < 6; ++k)
                s.picture(big, 0, 0, (1000 + 10 * n + k) * 15, (900 + k) * 15, Rop::SrcPaint);
        }
    }
};

TEST(Bands, SharedDrawingGivesThePixelsMarksAndCountsOfOneThread) {
    Surface alone(640, 480);
    Surface shared(640, 480);
    alone.set_helper(false);
    Ticks for_alone(11);
    Ticks for_shared(11);
    for (int n = 0; n < 40; ++n) {
        for_alone.tick(alone, n);
        for_shared.tick(shared, n);
        ASSERT_EQ(alone.image(), shared.image()) << "tick " << n;
        EXPECT_EQ(alone.pixels_touched(), shared.pixels_touched()) << "tick " << n;
        EXPECT_EQ(alone.version(), shared.version()) << "tick " << n;
        QRegion alone_dirty;
        QRegion shared_dirty;
        for (const QRect& r : alone.take_dirty())
            alone_dirty += r;
        for (const QRect& r : shared.take_dirty())
            shared_dirty += r;
        EXPECT_EQ(alone_dirty, shared_dirty) << "tick " << n;
    }
    EXPECT_EQ(alone.helped_bands(), 0u);
    EXPECT_GT(shared.helped_bands(), 0u);
}

// The helper draws while the tick goes on; a copy, an assignment or a
// resize in the middle must see it all drawn.
TEST(Bands, ACopyOrResizeInTheMiddleOfATickSeesEverythingDrawn) {
    Surface alone(640, 480);
    Surface shared(640, 480);
    alone.set_helper(false);
    Ticks for_alone(5);
    Ticks for_shared(5);
    for_alone.tick(alone, 1);
    for_shared.tick(shared, 1);
    const Surface copy = shared;
    EXPECT_EQ(copy.image(), alone.image());
    Surface assigned;
    assigned = shared;
    EXPECT_EQ(assigned.image(), alone.image());
    for_alone.tick(alone, 2);
    for_shared.tick(shared, 2);
    alone.resize(500, 400);
    shared.resize(500, 400);
    EXPECT_EQ(shared.image(), alone.image());
}

}  // namespace
}  // namespace grimbolt
