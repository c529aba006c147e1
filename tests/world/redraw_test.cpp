#include <gtest/gtest.h>

#include "fakes.h"
#include "hero_picture.h"

namespace grimbolt {
namespace {

using testing::draw_expected_hero;
using testing::TestGame;

TEST(RedrawAll, ReseedsFromTheClockAndScattersThreePointsPer100Twips) {
    for (const auto& [width, steps] : std::vector<std::pair<std::int32_t, int>>{
             {15360, 154}, {15400, 154}, {15401, 155}, {1, 1}, {101, 2}, {0, 0}}) {
        TestGame t;
        t.game.restart_game();
        t.display.window = {width, 11520};
        t.clock.seconds = 3723;
        t.game.redraw_all();
        EXPECT_EQ(t.random.reseeds, 1);
        EXPECT_EQ(t.random.last_seed, 3723);
        EXPECT_EQ(t.random.draws, 6 * steps) << width;
    }
}

TEST(RedrawAll, PointsAreWhiteBlueYellowAtRandomPlacesOverTheWindow) {
    TestGame t;
    t.game.restart_game();
    t.display.window = {15000, 9000};
    // x then y for the white point, then the blue, then the yellow.
    t.random.queued = {0.25, 0.1, 0.5, 0.2, 0.75, 0.3};
    t.game.redraw_all();
    EXPECT_EQ(t.game.screen.pixel(250, 60), kWhite);    // 3750, 900 twips
    EXPECT_EQ(t.game.screen.pixel(500, 120), kBlue);    // 7500, 1800
    EXPECT_EQ(t.game.screen.pixel(750, 180), kYellow);  // 11250, 2700
}

TEST(RedrawAll, BlacksOutTheWholeOuterWindowFirst) {
    // Over white or over black, the same picture comes out.
    TestGame over_white;
    TestGame over_black;
    for (TestGame* t : {&over_white, &over_black}) {
        t->game.restart_game();
        t->s().hero_pos = {6000, 6000};
    }
    over_white.fill(kWhite);
    over_white.game.redraw_all();
    over_black.game.redraw_all();
    EXPECT_EQ(over_white.game.screen.image(), over_black.game.screen.image());

    // Only as far as the outer window reaches.
    TestGame small;
    small.game.restart_game();
    small.display.window = {7500, 7500};
    small.fill(kWhite);
    small.game.redraw_all();
    EXPECT_EQ(small.game.screen.pixel(1000, 700), kWhite);
    EXPECT_NE(small.game.screen.pixel(499, 499), kWhite);
}

TEST(RedrawAll, PointsDifferFromOneRedrawToTheNext) {
    TestGame t;
    t.game.restart_game();
    t.game.redraw_all();
    const QImage first = t.game.screen.image();
    t.game.redraw_all();
    EXPECT_EQ(t.game.screen.image(), first);  // same second, same seed
    t.clock.seconds += 1;
    t.game.redraw_all();
    EXPECT_NE(t.game.screen.image(), first);
}

TEST(RedrawAll, DrawsTheRobotOverTheBackgroundAndTheTilesAfterIt) {
    TestGame t;
    t.stand_at(6000);
    t.random.queued.assign(6 * 154, 0.999);  // every point in the bottom-right corner
    t.game.redraw_all();
    Surface expected(1024, 768);
    draw_expected_hero(expected, t.game.sprites, {6000, 10000, 1, 0, 1});
    for (std::size_t i = 0; i < t.s().pregs.size() && int(i) < t.s().preg_rows(); ++i)
        expected.picture(t.game.sprites.preg.image, t.s().pregs[i].x, t.s().pregs[i].y,
                         Rop::SrcPaint);
    EXPECT_EQ(t.game.screen.image().copy(0, 0, 1000, 760), expected.image().copy(0, 0, 1000, 760));
    EXPECT_EQ(t.s().on_ground, 1);  // the tiles found the robot standing
}

TEST(FormPaint, RedrawsAndFlipsTheStatusPanelOntoTheTileRow) {
    TestGame t;
    t.game.restart_game();
    ASSERT_FALSE(t.game.paramspic.visible);
    t.fill(kWhite);
    t.game.Form_Paint();
    EXPECT_EQ(t.random.reseeds, 1);
    EXPECT_TRUE(t.game.paramspic.visible);
    EXPECT_EQ(t.game.paramspic.left, 0);
    EXPECT_EQ(t.game.paramspic.top, 10000);
    EXPECT_EQ(t.game.paramspic.width, 5175);
    EXPECT_EQ(t.game.paramspic.height, 495);
    t.game.Form_Paint();
    EXPECT_FALSE(t.game.paramspic.visible);
    t.game.Form_Paint();
    EXPECT_TRUE(t.game.paramspic.visible);

    // Resizing redraws but leaves the panel alone.
    t.game.Form_Resize();
    EXPECT_EQ(t.random.reseeds, 4);
    EXPECT_TRUE(t.game.paramspic.visible);
}

}  // namespace
}  // namespace grimbolt
