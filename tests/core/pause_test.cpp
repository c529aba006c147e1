#include <gtest/gtest.h>

#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

TEST(Pause, SwitchesTheTicksOverAndBackWithoutTouchingTheGame) {
    TestGame t;
    t.stand_at(5000);
    t.timer.on = true;
    const GameState before = t.s();
    t.game.Pause_Click();
    EXPECT_FALSE(t.timer.on);
    t.game.Pause_Click();
    EXPECT_TRUE(t.timer.on);
    EXPECT_EQ(t.s().hero_pos, before.hero_pos);
    EXPECT_EQ(t.s().score, before.score);
}

TEST(Pause, InTheShopStartsTheTicksWithTheShopFlagStillSet) {
    TestGame t;
    t.stand_at(5000);
    t.s().score = 1000;
    t.game.magazine();
    ASSERT_FALSE(t.timer.on);
    t.game.Pause_Click();
    EXPECT_TRUE(t.timer.on);
    EXPECT_EQ(t.s().in_magazine, -1);
    t.s().walking = 1;
    t.ticks(3);
    EXPECT_EQ(t.s().hero_pos[0], 5300);  // the world goes on behind the shop
    EXPECT_EQ(t.s().in_magazine, -1);
}

TEST(Pause, AfterDeathTheTicksRunAgainAndTheNextTouchKillsAgain) {
    TestGame t;
    t.stand_at(5000);
    t.game.sprites.preg.image.fill(Qt::black);
    t.s().vrag_spawn = 100;
    t.s().vrags[7] = {5000 - 100, t.s().ground_y - 990, 1};
    t.ticks(1);
    ASSERT_FALSE(t.timer.on);
    t.fill(kBlack);  // the message gone, to see it come back

    t.game.Pause_Click();
    EXPECT_TRUE(t.timer.on);
    t.s().vrags[7] = {5000 - 100, t.s().ground_y - 990, 1};
    t.ticks(1);
    EXPECT_FALSE(t.timer.on);
    // The message is printed again, green, at the top left.
    int green = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 600; ++x)
            green += t.game.screen.pixel(x, y) == kGreen;
    EXPECT_GT(green, 200);
}

}  // namespace
}  // namespace grimbolt
