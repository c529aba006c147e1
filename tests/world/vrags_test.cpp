#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

// The standard monster: 1605 x 1110 twips, half 802 ahead, a third (535) behind.
constexpr std::int32_t kScreenWidth = 15360;
constexpr double kVragW = 1605;

// A game with no spawn attempts unless a test queues them.
void quiet(TestGame& t) {
    t.game.restart_game();
    t.s().spawn_delay = 0;
}

TEST(Vrags, OneSpawnAttemptPerCallAtMostThenADelayOf16) {
    TestGame t;
    quiet(t);
    // Row 0 rolls 80 (not above the threshold), row 1 rolls 81 and enters on the left
    // at half the height range; row 2 rolls 95 but the delay now stands.
    t.random.queued = {0.80, 0.81, 0.20, 0.5, 0.95};
    t.random.draws = 0;
    t.game.redraw_vrags();
    EXPECT_EQ(t.s().vrags[0].dir, 0);
    EXPECT_EQ(t.s().vrags[1].dir, 1);
    EXPECT_EQ(t.s().vrags[1].x, -kVragW + 100);  // placed, then moved in the same call
    EXPECT_EQ(t.s().vrags[1].y, 4445);           // (10000 - 1110) x 0.5
    for (int i = 2; i <= 10; ++i)
        EXPECT_EQ(t.s().vrags[i].dir, 0) << i;
    EXPECT_EQ(t.s().spawn_delay, 16);
    EXPECT_EQ(t.random.draws, 11 + 2);  // one roll per row, two more for the placing

    // The delay counts down one per call, whatever the rolls; rows above vrag_count
    // neither roll nor fly.
    t.s().vrags[20] = {5000, 5000, 1};
    for (int i = 0; i < 15; ++i) {
        t.random.queued.assign(11, 0.99);
        t.game.redraw_vrags();
    }
    EXPECT_EQ(t.s().spawn_delay, 1);
    EXPECT_EQ(t.s().vrags[20].x, 5000);
    t.random.queued = {0.99, 0.50, 0.0};
    t.game.redraw_vrags();
    EXPECT_EQ(t.s().vrags[0].dir, -1);  // 50 is not below 50: the right edge
    EXPECT_EQ(t.s().vrags[0].x, kScreenWidth + 802 - 100);
    EXPECT_EQ(t.s().vrags[0].y, 0);
}

TEST(Vrags, AnAttemptRecyclesOnlyAMonsterThatHasLeftTheDisplay) {
    const auto attempt_on_row0 = [](Vrag before) {
        TestGame t;
        quiet(t);
        t.s().vrags[0] = before;
        t.random.queued = {1.0, 0.0, 0.25};  // roll 100, left edge, a quarter down
        t.game.redraw_vrags();
        EXPECT_EQ(t.s().spawn_delay, 16);  // restarted either way
        return t.s().vrags[0];
    };
    // On the left edge: x + W is 0, not below it.
    Vrag v = attempt_on_row0({-kVragW, 700, 1});
    EXPECT_EQ(v.x, -kVragW + 100);
    EXPECT_EQ(v.y, 700);
    // Wholly left of the display, or its centre right of it: a new monster.
    v = attempt_on_row0({-kVragW - 1, 700, -1});
    EXPECT_EQ(v.dir, 1);
    EXPECT_EQ(v.y, 2222);  // (10000 - 1110) x 0.25, halves to even
    v = attempt_on_row0({kScreenWidth + 802, 700, -1});
    EXPECT_EQ(v.dir, 1);
    v = attempt_on_row0({kScreenWidth, 700, 1});
    EXPECT_EQ(v.dir, 1);
    EXPECT_EQ(v.x, kScreenWidth + 100);
    EXPECT_EQ(v.y, 700);
}

// The picture on the display between pixel columns [left, left + width).
QImage shown(TestGame& t, int left, int top, int width, int height) {
    return t.game.screen.image().copy(left, top, width, height);
}

TEST(Vrags, FliesHeadFirstAndAMonsterEnteringOnTheRightShowsAtOnce) {
    TestGame t;
    quiet(t);
    t.s().vrag_spawn = 100;
    const QImage& pic = t.game.sprites.vrag.image;
    // Moving right, mirrored: the head (left in the picture) leads. The picture spans
    // x - 803 to x + 802, here 4155 to 5760: pixels 277 to 383.
    t.s().vrags[3] = {4958 - 100, 3000, 1};
    const std::uint64_t fused = t.game.screen.stats().fused;
    t.game.redraw_vrags();
    EXPECT_EQ(shown(t, 277, 3000 / 15 - 37, pic.width(), pic.height()), pic.mirrored(true, false));
    // Its AND drawing at the old place and its OR drawing at the new one: one pass.
    EXPECT_EQ(t.game.screen.stats().fused, fused + 1);

    TestGame u;
    quiet(u);
    u.random.queued = {0.99, 0.99, 0.5};
    u.game.redraw_vrags();
    ASSERT_EQ(u.s().vrags[0].dir, -1);
    // 100 twips of the head are on the display after the first move: from 15260, pixels
    // 1017 to 1023.
    EXPECT_EQ(shown(u, 1017, int(to_px(4445 - 555)), 7, pic.height()),
              pic.copy(0, 0, 7, pic.height()));
}

TEST(Vrags, CrossingTheSkyLeavesNoTrail) {
    for (const std::int16_t d : {1, -1}) {
        for (const std::int32_t y : {3000, 3007, 3014}) {
            TestGame t;
            quiet(t);
            t.s().vrag_spawn = 100;
            t.s().vrags[0] = {d == 1 ? -kVragW : kScreenWidth + 802.0, y, d};
            for (int i = 0; i < 120; ++i)
                t.game.redraw_vrags();
            // Everything is black but the monster and, just behind it, the columns it
            // left in the last move, which the next move's strip blacks out.
            const double x = t.s().vrags[0].x;
            QImage rest = t.game.screen.image();
            const QRect own(int(to_px(std::int64_t(x) - 803)) - 8, int(to_px(y - 555)), 124, 74);
            for (int py = 0; py < rest.height(); ++py)
                for (int px = 0; px < rest.width(); ++px)
                    if (!own.contains(px, py) && (rest.pixel(px, py) & 0xFFFFFF) != 0)
                        FAIL() << "trail at " << px << "," << py << " d " << d << " y " << y;
        }
    }
}

TEST(Vrags, TheHitBoxReachesHalfAheadAThirdBehindWithStrictVerticalBounds) {
    TestGame t;
    quiet(t);
    std::int16_t m = 42;
    EXPECT_FALSE(t.game.in_vrag(0, 0, m));  // never-used rows are free
    EXPECT_EQ(m, 42);

    t.s().vrags[4] = {5000, 5000, 1};
    const auto hit = [&](std::int32_t x, std::int32_t y) {
        m = 42;
        return t.game.in_vrag(x, y, m);
    };
    EXPECT_TRUE(hit(5000 + 802, 5000));
    EXPECT_FALSE(hit(5000 + 803, 5000));
    EXPECT_TRUE(hit(5000 - 535, 5000));
    EXPECT_FALSE(hit(5000 - 536, 5000));
    EXPECT_EQ(m, 42);  // untouched on a miss
    EXPECT_TRUE(hit(5000, 5000 - 554));
    EXPECT_EQ(m, 4);
    EXPECT_FALSE(hit(5000, 5000 - 555));
    EXPECT_TRUE(hit(5000, 5000 + 554));
    EXPECT_FALSE(hit(5000, 5000 + 555));

    t.s().vrags[4].dir = -1;
    EXPECT_TRUE(hit(5000 - 802, 5000));
    EXPECT_FALSE(hit(5000 - 803, 5000));
    EXPECT_TRUE(hit(5000 + 535, 5000));
    EXPECT_FALSE(hit(5000 + 536, 5000));

    // Overlapping monsters: the lower row; rows above vrag_count do not count.
    t.s().vrags[2] = {5100, 5100, 1};
    EXPECT_TRUE(hit(5000, 5000));
    EXPECT_EQ(m, 2);
    t.s().vrags[2].dir = 0;
    t.s().vrags[4].dir = 0;
    t.s().vrags[11] = {5000, 5000, 1};
    EXPECT_FALSE(hit(5000, 5000));
    t.s().vrag_count = 11;
    EXPECT_TRUE(hit(5000, 5000));
    EXPECT_EQ(m, 11);
}

TEST(Vrags, DeletingBlacksOutTheMonsterAndScores100) {
    TestGame t;
    quiet(t);
    t.fill(kWhite);
    t.s().score = 40;
    t.s().earned = 0;
    t.s().vrags[1] = {6000, 6000, 1};
    t.s().vrags[2] = {12000, 3000, -1};
    t.game.delete_vrag(1);
    t.game.delete_vrag(2);
    EXPECT_EQ(t.s().score, 240);
    EXPECT_EQ(t.s().earned, 200);  // what the shop takes never comes off it
    EXPECT_EQ(t.s().vrags[1].dir, 0);
    EXPECT_EQ(t.s().vrags[1].x, 6000);  // only the heading is cleared
    const auto black = [&](std::int64_t x, std::int64_t y) {
        return t.game.screen.pixel(int(to_px(x)), int(to_px(y))) == kBlack;
    };
    // Moving right: from 902 behind to 917 ahead, 570 above and below.
    EXPECT_TRUE(black(6000 - 902, 6000 - 570));
    EXPECT_TRUE(black(6000 + 917, 6000 + 570));
    EXPECT_FALSE(black(6000 - 902 - 15, 6000));
    EXPECT_FALSE(black(6000 + 917 + 15, 6000));
    EXPECT_FALSE(black(6000, 6000 - 570 - 15));
    EXPECT_FALSE(black(6000, 6000 + 570 + 15));
    // Moving left, the other way round.
    EXPECT_TRUE(black(12000 + 902, 3000));
    EXPECT_TRUE(black(12000 - 917, 3000));
    EXPECT_FALSE(black(12000 + 902 + 15, 3000));
    EXPECT_FALSE(black(12000 - 917 - 15, 3000));
}

// The safe start: the sky stays empty while the robot falls, and fills once it has
// stood on the tiles, as it fills after the classic's start; the classic lets monsters
// in during the fall. A new game falls safely again.
TEST(Vrags, TheSafeStartLetsNoMonsterInBeforeTheRobotLands) {
    struct Start {
        int landing = -1;  // the tick the robot first stood on the tiles
        int monster = -1;  // the tick after which the first monster flew
    };
    const auto start = [](bool safe) {
        testing::TestGame t;
        t.game.comforts.safe_start = safe;
        t.game.restart_game();
        t.random.span = 0.999;  // every roll spawns once the delay allows
        Start seen;
        for (int tick = 0; tick < 200; ++tick) {
            t.game.Timer1_Timer();
            if (seen.landing < 0 && t.s().landed != 0)
                seen.landing = tick;
            const bool flying = std::any_of(t.s().vrags.begin(), t.s().vrags.end(),
                                            [](const Vrag& v) { return v.dir != 0; });
            if (seen.monster < 0 && flying)
                seen.monster = tick;
        }
        return seen;
    };
    const Start classic = start(false);
    const Start safe = start(true);
    ASSERT_GT(classic.landing, 10);  // a long fall
    EXPECT_LT(classic.monster, classic.landing);
    EXPECT_EQ(safe.landing, classic.landing);  // the fall itself is the classic's
    EXPECT_EQ(safe.monster, safe.landing + classic.monster);

    testing::TestGame t;
    t.game.comforts.safe_start = true;
    t.game.restart_game();
    t.ticks(200);
    ASSERT_NE(t.s().landed, 0);
    t.game.restart_game();
    EXPECT_EQ(t.s().landed, 0);
}

// Shot down standing on the tiles, then the window painted (another window closed over
// it): the next game still waits for its own landing. The first rules counted the
// footing that paint found as a landing, and recordings of them play so still.
TEST(Vrags, TheSafeStartHoldsAfterAPaintBetweenGames) {
    const auto monsters_while_falling = [](std::int32_t rules) {
        testing::TestGame t;
        t.game.rules = rules;
        t.game.comforts.safe_start = true;
        t.stand_at(6000);
        t.timer.on = false;  // the robot was shot down
        t.game.Form_Paint();
        t.game.New_Game_Click();
        t.random.span = 0.999;
        t.ticks(10);  // still falling
        return std::count_if(t.s().vrags.begin(), t.s().vrags.end(),
                             [](const Vrag& v) { return v.dir != 0; });
    };
    EXPECT_EQ(monsters_while_falling(kRulesVersion), 0);
    EXPECT_GT(monsters_while_falling(1), 0);
}

// The fair start: on the tiles in the middle of the display, and three seconds of ticks
// without a monster, at whatever speed; then the sky fills as after any start.
TEST(Vrags, TheFairStartStandsInTheMiddleAndWaitsThreeSeconds) {
    for (const int period : {50, 100}) {
        const auto first_monster = [period](bool fair) {
            testing::TestGame t;
            t.game.comforts.fair_start = fair;
            t.timer.period = period;
            t.game.restart_game();
            if (fair) {
                EXPECT_EQ(t.s().hero_pos[0], t.display.screen.width / 2 / 100 * 100);
                EXPECT_EQ(t.s().hero_pos[1], t.s().ground_y);
            }
            t.random.span = 0.999;
            for (int tick = 0; tick < 300; ++tick) {
                t.game.Timer1_Timer();
                if (std::any_of(t.s().vrags.begin(), t.s().vrags.end(),
                                [](const Vrag& v) { return v.dir != 0; }))
                    return tick;
            }
            return -1;
        };
        const int plain = first_monster(false);
        ASSERT_GE(plain, 0);
        EXPECT_EQ(first_monster(true), plain + kFairStartCalmMs / period) << period;
    }
}

}  // namespace
}  // namespace grimbolt
