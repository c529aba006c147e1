#include <gtest/gtest.h>

#include "core/keys.h"
#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

constexpr std::int32_t kGround = 10000;
constexpr std::int32_t kScreenWidth = 15360;

// A robot at rest on the tile row with no monster about to come.
void ready(TestGame& t, std::int32_t x) {
    t.stand_at(x);
    t.s().vrag_spawn = 100;
}

TEST(Pulls, TheFirstBulletLeavesTheMiddleOfTheLevelGun) {
    TestGame t;
    ready(t, 5000);
    t.game.fire();
    EXPECT_EQ(t.s().pulls[0].x, 5000 + 143);
    EXPECT_EQ(t.s().pulls[0].y, kGround - 465);
    EXPECT_EQ(t.s().pulls[0].dir, 1);
    EXPECT_EQ(t.s().since_shot, 1);
    EXPECT_EQ(t.s().reload_counter, 50);

    TestGame u;
    ready(u, 5000);
    u.s().direction = -1;
    u.s().pulls[0].dir = 1;  // busy: the next free slot
    u.game.fire();
    EXPECT_EQ(u.s().pulls[1].x, 5000 - 427);
    EXPECT_EQ(u.s().pulls[1].dir, -1);

    // The raised gun does not fire.
    TestGame v;
    ready(v, 5000);
    v.s().weapon_pose = 0;
    v.game.fire();
    EXPECT_EQ(v.s().pulls[0].dir, 0);
    EXPECT_EQ(v.s().since_shot, 100);
    EXPECT_EQ(v.s().reload_counter, 0);
}

// Ticks on which a shot left while Shift was held (one key-down per tick).
std::vector<int> shots_with_shift_held(std::int16_t reload_time) {
    TestGame t;
    ready(t, 5000);
    t.s().reload_time = reload_time;
    std::vector<int> shots;
    for (int tick = 0; tick < 120; ++tick) {
        const std::uint8_t before = t.s().reload_counter;
        t.game.Form_KeyDown(key::Shift, 1);
        if (before == 0 && t.s().reload_counter == reload_time)
            shots.push_back(tick);
        t.ticks(1);
    }
    return shots;
}

TEST(Pulls, ShiftHeldFiresOnceEveryReloadTime) {
    EXPECT_EQ(shots_with_shift_held(50), (std::vector<int>{0, 50, 100}));
    const std::vector<int> fast = shots_with_shift_held(5);
    ASSERT_EQ(fast.size(), 24u);
    EXPECT_EQ(fast[1], 5);
    EXPECT_EQ(fast.back(), 115);
}

TEST(Pulls, AShotWithEverySlotBusyIsLostButTheGunStillRecoilsAndReloads) {
    TestGame t;
    ready(t, 5000);
    for (Pull& p : t.s().pulls)
        p = {777, 888, -1};
    t.game.fire();
    for (const Pull& p : t.s().pulls)
        EXPECT_EQ(p.x, 777);
    EXPECT_EQ(t.s().since_shot, 1);
    EXPECT_EQ(t.s().reload_counter, 50);
}

TEST(Pulls, OnlyTheTileRowsNeverLaidStopABulletAndOnlyStrictlyInside) {
    // On this display rows 31 to 50 were never laid: a tile from (0, 0) to (585, 360).
    const auto after_one_pass = [](std::int32_t x, std::int32_t y) {
        TestGame t;
        ready(t, 9000);
        t.s().pulls[0] = {x - 300, y, 1};
        t.game.redraw_pulls();
        return t;
    };
    TestGame t = after_one_pass(584, 100);
    EXPECT_EQ(t.s().pulls[0].dir, 0);
    EXPECT_EQ(t.s().vzrivs[0].x, 584);
    EXPECT_EQ(t.s().vzrivs[0].y, 100);
    EXPECT_EQ(t.s().vzrivs[0].r, 100);
    // Twenty phantom tiles at the same place: twenty explosions.
    EXPECT_EQ(t.s().vzrivs[19].r, 100);
    EXPECT_EQ(t.s().vzrivs[20].r, 0);

    EXPECT_EQ(after_one_pass(585, 100).s().pulls[0].dir, 1);  // on the right edge
    EXPECT_EQ(after_one_pass(0, 100).s().pulls[0].dir, 1);    // on the left edge
    EXPECT_EQ(after_one_pass(300, 0).s().pulls[0].dir, 1);    // on the top edge
    EXPECT_EQ(after_one_pass(300, 360).s().pulls[0].dir, 1);  // on the bottom edge
    // The ground row is never tested.
    EXPECT_EQ(after_one_pass(3000, kGround + 100).s().pulls[0].dir, 1);
}

TEST(Pulls, ATileAndAMonsterHitInOnePassBothExplodeAndTheMonsterDies) {
    TestGame t;
    ready(t, 9000);
    t.s().vrags[5] = {400, 300, -1};
    t.s().pulls[0] = {200 - 300, 150, 1};
    t.game.redraw_pulls();
    EXPECT_EQ(t.s().pulls[0].dir, 0);
    EXPECT_EQ(t.s().vrags[5].dir, 0);
    EXPECT_EQ(t.s().score, 100);
    EXPECT_EQ(t.s().vzrivs[20].r, 100);  // the 21st explosion, from the monster
    // The bullet's last picture stays where it ended; later passes leave it alone.
    const int px = int(to_px(200 + 142)), py = int(to_px(150 + 30));
    EXPECT_NE(t.game.screen.pixel(px, py), kBlack);
    t.game.redraw_pulls();
    EXPECT_NE(t.game.screen.pixel(px, py), kBlack);

    // A monster in open sky: one explosion at the bullet's corner, which a full table
    // would drop while the bullet still ends.
    TestGame u;
    ready(u, 9000);
    u.s().vrags[0] = {8000, 3000, 1};
    u.s().pulls[0] = {8000 - 300, 3000, 1};
    for (Vzriv& z : u.s().vzrivs)
        z = {1, 1, 300};
    u.game.redraw_pulls();
    EXPECT_EQ(u.s().pulls[0].dir, 0);
    EXPECT_EQ(u.s().vrags[0].dir, 0);
    EXPECT_EQ(u.s().vzrivs[0].x, 1);
}

TEST(Pulls, ABulletIsDroppedOnceWhollyBeyondEitherEdgeOfTheDisplay) {
    TestGame t;
    ready(t, 9000);
    t.s().pulls[0] = {kScreenWidth - 300, 3000, 1};
    t.s().pulls[1] = {-285 + 300, 3000, -1};
    t.game.redraw_pulls();
    EXPECT_EQ(t.s().pulls[0].x, kScreenWidth);
    EXPECT_EQ(t.s().pulls[0].dir, 1);
    EXPECT_EQ(t.s().pulls[1].x, -285);
    EXPECT_EQ(t.s().pulls[1].dir, -1);
    t.game.redraw_pulls();
    EXPECT_EQ(t.s().pulls[0].dir, 0);
    EXPECT_EQ(t.s().pulls[1].dir, 0);

    // A tick that starts with a full redraw moves a bullet twice.
    t.s().pulls[2] = {5000, 3000, 1};
    t.s().redraw_request = kTrue16;
    t.ticks(1);
    EXPECT_EQ(t.s().pulls[2].x, 5600);
}

}  // namespace
}  // namespace grimbolt
