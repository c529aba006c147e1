// A tick in steady play allocates nothing: every table, picture and scratch row the
// drawing needs exists after the first few ticks.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "fakes.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace grimbolt {
namespace {

TEST(Tick, SteadyPlayAllocatesNothing) {
    testing::TestGame t;
    t.stand_at(5000);
    t.game.paramspic.visible = true;
    GameState& s = t.s();
    s.walking = 1;
    s.vrag_spawn = 100;
    s.magazine_score = 1'000'000'000;
    for (int i = 0; i < 11; ++i)
        s.vrags[i] = {1000.0 + i * 1300, 1500 + (i % 4) * 1500, std::int16_t(i % 2 ? -1 : 1)};
    s.vrag_count = 10;
    s.pulls[0] = {3000, s.ground_y - 700, 1};
    s.pulls[1] = {9000, s.ground_y - 700, -1};
    s.vzrivs[0] = {7000, 2000, 900};
    const GameState start = s;
    // Each tick is drawn to the end, as the window does when it shows the tick.
    const auto tick = [&] {
        s = start;
        t.ticks(1);
        t.game.screen.flush();
        return t.game.screen.stats().pixels_touched;
    };
    for (int i = 0; i < 5; ++i)  // the pictures get ready for their sizes
        tick();
    const long before = allocations;
    for (int i = 0; i < 50; ++i)
        tick();
    EXPECT_EQ(allocations - before, 0);
}

}  // namespace
}  // namespace grimbolt
