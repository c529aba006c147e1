#include <gtest/gtest.h>

#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

TEST(Tiles, APointOnATilesEdgeIsInside) {
    TestGame t;
    t.game.restart_game();  // 31 tiles from x = -1170, the last at 16380, all at y = 10000
    const Game& g = t.game;
    EXPECT_TRUE(g.in_preg(16380 + 585, 10000 + 360));  // the last tile's bottom-right corner
    EXPECT_FALSE(g.in_preg(16380 + 586, 10000));
    EXPECT_FALSE(g.in_preg(5000, 10000 + 361));
    EXPECT_FALSE(g.in_preg(5000, 9999));
    EXPECT_TRUE(g.in_preg(-1170, 10000));
    EXPECT_FALSE(g.in_preg(-1171, 10000));
    EXPECT_TRUE(g.in_preg(-1170 + 585, 10180));  // an edge shared by two tiles
}

TEST(Tiles, RowsThatWereNotLaidAreATileAtTheWindowCorner) {
    TestGame t;
    t.game.restart_game();
    ASSERT_LT(t.s().preg_count, 51);
    EXPECT_TRUE(t.game.in_preg(0, 0));
    EXPECT_TRUE(t.game.in_preg(585, 360));
    EXPECT_FALSE(t.game.in_preg(586, 100));
    EXPECT_FALSE(t.game.in_preg(100, -1));
    t.game.redraw_pregs();
    EXPECT_NE(t.game.screen.pixel(10, 10), kBlack);

    TestGame wide;
    wide.display.screen = {30000, 11520};
    wide.game.restart_game();
    ASSERT_GE(wide.s().preg_count, 51);
    EXPECT_FALSE(wide.game.in_preg(0, 0));
    wide.game.redraw_pregs();
    EXPECT_EQ(wide.game.screen.pixel(10, 10), kBlack);
}

// Whether the robot at (5000, 5000) finds footing on one 15-twip tile at (x, 5000).
bool stands_on_a_speck_at(std::int32_t x) {
    TestGame t;
    t.game.sprites.preg.image = QImage(1, 1, QImage::Format_RGB32);
    t.game.restart_game();
    t.s().hero_pos = {5000, 5000};
    t.s().pregs[50] = {x, 5000};
    t.s().on_ground = 0;
    t.game.redraw_pregs();
    return t.s().on_ground == 1;
}

TEST(Tiles, TheFootingIsTestedEvery100TwipsATorsoWidthEitherSide) {
    // Points at x - 210, -110, -10, +90 and +190.
    EXPECT_TRUE(stands_on_a_speck_at(5000 - 210));
    EXPECT_TRUE(stands_on_a_speck_at(5000 - 225));  // its right edge is on the point
    EXPECT_FALSE(stands_on_a_speck_at(5000 - 226));
    EXPECT_FALSE(stands_on_a_speck_at(5000 - 160));
    EXPECT_TRUE(stands_on_a_speck_at(5000 - 10));
    EXPECT_TRUE(stands_on_a_speck_at(5000 + 190));
    EXPECT_FALSE(stands_on_a_speck_at(5000 + 191));
}

TEST(Tiles, TheRobotStandsAnywhereFromTheTopToTheBottomOfTheRow) {
    TestGame t;
    t.game.restart_game();
    for (const std::int32_t y : {9999, 10000, 10200, 10360, 10361}) {
        t.s().hero_pos = {7777, y};
        t.s().on_ground = 0;
        t.game.redraw_pregs();
        EXPECT_EQ(t.s().on_ground, (y >= 10000 && y <= 10360) ? 1 : 0) << y;
    }
}

TEST(Tiles, FindingNoTileLeavesTheFootingAsItWas) {
    TestGame t;
    t.game.restart_game();
    t.s().hero_pos = {5000, 5000};
    t.s().on_ground = 1;
    t.game.redraw_pregs();
    EXPECT_EQ(t.s().on_ground, 1);
}

TEST(Tiles, DrawingThemTwiceIsDrawingThemOnce) {
    TestGame t;
    t.game.restart_game();
    t.game.redraw_pregs();
    const QImage once = t.game.screen.image();
    t.game.redraw_pregs();
    EXPECT_EQ(t.game.screen.image(), once);
    // The row spans the picture at the ground line.
    for (int x = 0; x < 1024; x += 7)
        EXPECT_NE(t.game.screen.pixel(x, int(to_px(10000 + 180))), kBlack) << x;
}

}  // namespace
}  // namespace grimbolt
