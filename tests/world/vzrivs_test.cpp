#include <gtest/gtest.h>

#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

TEST(Vzrivs, GrowsBy100AndEndsOnceLargerThanTheBlastSize) {
    TestGame t;
    t.game.restart_game();
    // A plain white square shows the size each step draws.
    t.game.sprites.vzriv.image.fill(Qt::white);
    t.game.add_vzriv(6000, 6000);
    for (const int r : {200, 300, 400, 500}) {
        t.fill(kBlack);
        const std::uint64_t fused = t.game.screen.stats().fused;
        t.game.redraw_vzrivs();
        ASSERT_EQ(t.s().vzrivs[0].r, r);
        // The black disc and the fireball over it: one pass.
        EXPECT_EQ(t.game.screen.stats().fused, fused + 1) << r;
        const int left = int(to_px(6000 - r)), right = int(to_px(6000 + r));
        EXPECT_EQ(t.game.screen.pixel(left, 400), kWhite) << r;
        EXPECT_EQ(t.game.screen.pixel(left - 1, 400), kBlack) << r;
        EXPECT_EQ(t.game.screen.pixel(right - 1, 400), kWhite) << r;
        EXPECT_EQ(t.game.screen.pixel(right, 400), kBlack) << r;
    }
    // The step to 600 (1200 square) erases at once with a disc of 615.
    t.fill(kWhite);
    t.game.redraw_vzrivs();
    EXPECT_EQ(t.s().vzrivs[0].r, 0);
    EXPECT_EQ(t.game.screen.pixel(400 + 41, 400), kBlack);
    EXPECT_EQ(t.game.screen.pixel(400 - 41, 400), kBlack);
    EXPECT_EQ(t.game.screen.pixel(400, 400 + 41), kBlack);
    EXPECT_EQ(t.game.screen.pixel(400 + 42, 400), kWhite);
    EXPECT_EQ(t.game.screen.pixel(400 + 40, 400 + 40), kWhite);  // a corner of the square
    EXPECT_EQ(t.game.screen.fill_colour(), kBlack);
    EXPECT_EQ(t.game.screen.fill_style(), FillStyle::Solid);

    // A bigger blast lasts one step more for each 100.
    t.s().blast_size = 700;
    t.game.add_vzriv(6000, 6000);
    int steps = 0;
    while (t.s().vzrivs[0].r != 0 && steps < 20) {
        t.game.redraw_vzrivs();
        ++steps;
    }
    EXPECT_EQ(steps, 7);
}

TEST(Vzrivs, DestroysEveryMonsterWhoseCentreItReachesEdgeIncluded) {
    TestGame t;
    t.game.restart_game();
    t.s().vzrivs[0] = {6000, 6000, 200};           // 300 after the next step
    t.s().vrags[1] = {6000 + 180, 6000 + 240, 1};  // exactly 300 away
    t.s().vrags[2] = {6000 - 300, 6000, -1};       // exactly 300 away
    t.s().vrags[3] = {6000 + 181, 6000 + 240, 1};  // just beyond
    t.s().vrags[4] = {6000, 6000, 0};              // free
    t.s().vrags[12] = {6000, 6000, 1};             // above vrag_count
    t.game.redraw_vzrivs();
    EXPECT_EQ(t.s().vrags[1].dir, 0);
    EXPECT_EQ(t.s().vrags[2].dir, 0);
    EXPECT_EQ(t.s().vrags[3].dir, 1);
    EXPECT_EQ(t.s().vrags[12].dir, 1);
    EXPECT_EQ(t.s().score, 200);
}

TEST(Vzrivs, ATwentySecondExplosionIsDropped) {
    TestGame t;
    t.game.restart_game();
    for (int i = 0; i < 21; ++i)
        t.game.add_vzriv(i, 7);
    EXPECT_EQ(t.s().vzrivs[20].x, 20);
    t.game.add_vzriv(99, 99);
    for (const Vzriv& z : t.s().vzrivs)
        EXPECT_NE(z.x, 99);
    // A freed row is the next one taken.
    t.s().vzrivs[4].r = 0;
    t.game.add_vzriv(99, 98);
    EXPECT_EQ(t.s().vzrivs[4].x, 99);
    EXPECT_EQ(t.s().vzrivs[4].r, 100);
}

}  // namespace
}  // namespace grimbolt
