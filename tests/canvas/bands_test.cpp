// Drawing shared out by rows between two threads must give what one thread gives.

#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "canvas/band_worker.h"
#include "canvas/share_policy.h"
#include "canvas/surface.h"

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
            for (volatile int spin = 0; spin < 200;)
                spin = spin + 1;
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
    // The jobs above may all end before a busy machine wakes the helper. In this one the
    // first band waits for it (at most 10 s), so the helper must take the other.
    auto wait_for_helper = [&](int band) {
        if (band != 0)
            return;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (worker.helped() == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    };
    worker.run(2, wait_for_helper);
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

// The same ticks drawn by one thread, and shared with the helper.
struct TwoWays {
    Surface alone{640, 480};
    Surface shared{640, 480};
    Ticks for_alone;
    Ticks for_shared;
    explicit TwoWays(unsigned seed) : for_alone(seed), for_shared(seed) { alone.set_helper(false); }
    void tick(int n) {
        for_alone.tick(alone, n);
        for_shared.tick(shared, n);
    }
};

QRegion shown(Surface& s) {
    QRegion region;
    for (const QRect& r : s.take_dirty())
        region += r;
    return region;
}

TEST(Bands, SharedDrawingGivesThePixelsMarksAndCountsOfOneThread) {
    TwoWays two(11);
    // At least 40 ticks, and on until the helper has taken part (a busy machine may
    // keep it from waking in time for a while): at most 10 s.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int n = 0;
         n < 40 || (two.shared.stats().helped == 0 && std::chrono::steady_clock::now() < until);
         ++n) {
        two.tick(n);
        ASSERT_EQ(two.alone.image(), two.shared.image()) << "tick " << n;
        EXPECT_EQ(two.alone.stats().pixels_touched, two.shared.stats().pixels_touched)
            << "tick " << n;
        EXPECT_EQ(two.alone.version(), two.shared.version()) << "tick " << n;
        EXPECT_EQ(shown(two.alone), shown(two.shared)) << "tick " << n;
    }
    EXPECT_EQ(two.alone.stats().helped, 0u);
    EXPECT_GT(two.shared.stats().helped, 0u);
}

// The helper draws while the tick goes on; a copy, an assignment or a resize in the
// middle must see it all drawn.
TEST(Bands, ACopyOrResizeInTheMiddleOfATickSeesEverythingDrawn) {
    TwoWays two(5);
    two.tick(1);
    Surface copy = two.shared;
    EXPECT_EQ(copy.image(), two.alone.image());
    Surface assigned;
    assigned = two.shared;
    EXPECT_EQ(assigned.image(), two.alone.image());
    two.tick(2);
    two.alone.resize(500, 400);
    two.shared.resize(500, 400);
    EXPECT_EQ(two.shared.image(), two.alone.image());
}

// The helper is used only while shared frames are clearly faster than one thread.
TEST(SharePolicy, SharesLargeFramesOnlyWhileThatIsFaster) {
    constexpr std::int64_t big = SharePolicy::kShareFrom;
    SharePolicy p;
    const auto frame = [&p](std::int64_t cost, double ns_per_px) {
        const bool planned = p.plan();
        const bool shared = p.share(cost);
        EXPECT_TRUE(!shared || planned);
        p.drawn(cost, ns_per_px * double(cost), shared);
        return shared;
    };
    EXPECT_FALSE(frame(big - 1, 1.0));  // small frames: alone
    EXPECT_FALSE(frame(big, 1.0));      // the first large one: the measure of one thread
    int shared = 0;
    for (int i = 0; i < 64; ++i)
        shared += frame(big, 0.6);  // faster shared
    EXPECT_GE(shared, 60);          // but for the checks of one thread now and then

    // Shared frames no faster than one thread: soon a rest, of large frames alone.
    int tries = 0;
    while (frame(big, 1.0) && tries < 100)
        ++tries;
    EXPECT_LE(tries, 12);
    int rested = 1;
    while (!frame(big, 1.0) && rested < 10'000)
        ++rested;
    EXPECT_GE(rested, SharePolicy::kRestAfterLoss);

    // A shared frame twice as slow as one thread (the helper lost its core) ends the
    // try at once, and the next rest is longer.
    EXPECT_TRUE(frame(big, 2.5));
    int longer = 0;
    while (!frame(big, 1.0) && longer < 10'000)
        ++longer;
    EXPECT_GT(longer, rested);
}

}  // namespace
}  // namespace grimbolt
