#include <gtest/gtest.h>

#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

TEST(Restart, SetsTheStartValues) {
    TestGame t;
    t.game.restart_game();
    const GameState& s = t.s();
    EXPECT_EQ(s.price_fuel, 500);
    EXPECT_EQ(s.magazine_score, 500);
    EXPECT_EQ(s.blast_size, 500);
    EXPECT_EQ(s.price_rate, 300);
    EXPECT_EQ(s.price_blast, 200);
    EXPECT_EQ(s.vrag_count, 10);
    EXPECT_EQ(s.vrag_spawn, 80);
    EXPECT_EQ(s.fuel, 1000);
    EXPECT_EQ(s.in_magazine, 0);
    EXPECT_EQ(s.reload_time, 50);
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.hero_pos[0], 1000);
    EXPECT_EQ(s.hero_pos[1], 3000);
    EXPECT_EQ(s.feet_frame, 0);
    EXPECT_EQ(s.direction, 1);
    EXPECT_EQ(s.weapon_pose, 1);
    EXPECT_EQ(s.since_shot, 100);
    EXPECT_EQ(s.hero_height, 990);  // torso 450 + legs 360 + head 180
}

TEST(Restart, GroundLineIsCutToAMultipleOf100) {
    TestGame t;
    t.display.screen = {15360, 11520};
    t.game.restart_game();
    EXPECT_EQ(t.s().ground_y, 10000);  // 11520 - 4 x 360 = 10080

    t.display.screen = {28800, 16200};  // 1920 x 1080
    t.game.restart_game();
    EXPECT_EQ(t.s().ground_y, 14700);

    // A display lower than four tiles cuts towards zero, not downwards.
    t.display.screen = {4800, 1000};
    t.game.restart_game();
    EXPECT_EQ(t.s().ground_y, -400);
}

TEST(Restart, OnADisplayTooShortForTheUsualStartTheRobotStartsOnTheGround) {
    TestGame t;
    t.display.screen = {320 * 15, 200 * 15};  // ground line at 1500, above 3000
    t.game.screen.resize(320, 200);
    t.game.restart_game();
    EXPECT_EQ(t.s().ground_y, 1500);
    EXPECT_EQ(t.s().hero_pos[1], 1500);
    t.ticks(3);
    EXPECT_EQ(t.s().hero_pos[1], 1500);  // standing on the tiles, not falling through

    t.display.screen = {640 * 15, 296 * 15};  // 4440 - 1440: exactly 3000, kept
    t.game.restart_game();
    EXPECT_EQ(t.s().hero_pos[1], 3000);
}

TEST(Restart, LaysAGaplessRowOverhangingBothEdges) {
    TestGame t;
    t.display.screen = {15360, 11520};
    t.game.restart_game();
    const GameState& s = t.s();
    ASSERT_EQ(s.preg_count, 31);
    for (int i = 0; i < s.preg_count; ++i) {
        EXPECT_EQ(s.pregs[i].x, -1170 + 585 * i);
        EXPECT_EQ(s.pregs[i].y, 10000);
    }
    EXPECT_EQ(s.pregs[30].x, 16380);
    // Rows that were not laid keep the zeros they had since the game was created.
    for (int i = 31; i < kPregRows; ++i) {
        EXPECT_EQ(s.pregs[i].x, 0);
        EXPECT_EQ(s.pregs[i].y, 0);
    }
    EXPECT_EQ(s.preg_rows(), 51);
}

TEST(Restart, WideDisplaysGetTheWholeRow) {
    TestGame t;
    t.display.screen = {28800, 16200};  // 1920 pixels
    t.game.restart_game();
    EXPECT_EQ(t.s().preg_count, 54);
    EXPECT_EQ(t.s().preg_rows(), 54);
    EXPECT_GE(t.s().pregs[53].x, 28800);

    t.display.screen = {57600, 32400};  // 3840 pixels
    t.game.restart_game();
    EXPECT_EQ(t.s().preg_count, 103);
    EXPECT_GE(t.s().pregs[102].x + 585, 57600 + 1170);

    t.display.screen = {115200, 64800};  // 7680 pixels
    t.game.restart_game();
    EXPECT_EQ(t.s().preg_count, 201);
}

TEST(Restart, NarrowerDisplayKeepsTheOldTilesInTheUnlaidRows) {
    TestGame t;
    t.display.screen = {28800, 16200};
    t.game.restart_game();
    const Preg old40 = t.s().pregs[40];
    t.display.screen = {15360, 11520};
    t.game.restart_game();
    EXPECT_EQ(t.s().preg_count, 31);
    EXPECT_EQ(t.s().preg_rows(), 51);
    EXPECT_EQ(t.s().pregs[40].x, old40.x);
    EXPECT_EQ(t.s().pregs[40].y, old40.y);
}

TEST(Restart, TwiceOnTheSameDisplayGivesTheSameRow) {
    TestGame t;
    t.game.restart_game();
    const GameState first = t.s();
    t.game.restart_game();
    EXPECT_EQ(t.s().ground_y, first.ground_y);
    EXPECT_EQ(t.s().preg_count, first.preg_count);
    for (int i = 0; i < kPregCapacity; ++i) {
        EXPECT_EQ(t.s().pregs[i].x, first.pregs[i].x);
        EXPECT_EQ(t.s().pregs[i].y, first.pregs[i].y);
    }
}

TEST(Restart, ClearsOnlyTheFirstElevenEnemyRowsAndFreesAllShots) {
    TestGame t;
    GameState& s = t.s();
    for (Vrag& v : s.vrags)
        v = {1234.0, 567, -1};
    for (Pull& p : s.pulls)
        p = {10, 20, 1};
    for (Vzriv& z : s.vzrivs)
        z = {30, 40, 300};
    s.vrag_count = 37;

    t.game.restart_game();

    EXPECT_EQ(s.vrag_count, 10);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(s.vrags[i].x, 0.0);
        EXPECT_EQ(s.vrags[i].y, 0);
        EXPECT_EQ(s.vrags[i].dir, 0);
    }
    for (int i = 11; i < kVragRows; ++i) {
        EXPECT_EQ(s.vrags[i].x, 1234.0);
        EXPECT_EQ(s.vrags[i].y, 567);
        EXPECT_EQ(s.vrags[i].dir, -1);
    }
    for (const Pull& p : s.pulls) {
        EXPECT_EQ(p.dir, 0);
        EXPECT_EQ(p.x, 10);  // a freed row keeps its stale position
    }
    for (const Vzriv& z : s.vzrivs)
        EXPECT_EQ(z.r, 0);
}

TEST(Restart, LeavesTheHeldKeysAndCountersAlone) {
    TestGame t;
    GameState& s = t.s();
    s.walking = 1;
    s.flying = 1;
    s.last_direction = -1;
    s.reload_counter = 17;
    s.spawn_delay = 9;
    s.redraw_request = -1;
    s.on_ground = 1;
    t.game.restart_game();
    EXPECT_EQ(s.walking, 1);
    EXPECT_EQ(s.flying, 1);
    EXPECT_EQ(s.last_direction, -1);
    EXPECT_EQ(s.reload_counter, 17);
    EXPECT_EQ(s.spawn_delay, 9);
    EXPECT_EQ(s.redraw_request, -1);
    EXPECT_EQ(s.on_ground, 1);
}

TEST(Restart, DrawsNothing) {
    TestGame t;
    t.game.screen.take_dirty();
    t.game.Form_Load();
    EXPECT_FALSE(t.game.screen.has_dirty());
    EXPECT_EQ(t.s().preg_count, 31);
}

TEST(NewGame, SwitchesTheTimerOnFromAnyPhase) {
    TestGame t;
    t.game.Form_Load();
    t.timer.on = false;
    t.s().in_magazine = -1;
    t.s().score = 4000;
    t.game.New_Game_Click();
    EXPECT_TRUE(t.timer.on);
    EXPECT_EQ(t.s().in_magazine, 0);
    EXPECT_EQ(t.s().score, 0);
}

TEST(Restart, HeroHeightFollowsThePictures) {
    TestGame t;
    t.game.sprites.Hero_head.image = QImage(10, 20, QImage::Format_RGB32);
    t.game.restart_game();
    EXPECT_EQ(t.s().hero_height, 450 + 360 + 300);
}

}  // namespace
}  // namespace grimbolt
