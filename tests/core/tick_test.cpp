#include <gtest/gtest.h>

#include "fakes.h"
#include "hero_picture.h"

namespace grimbolt {
namespace {

using testing::TestGame;

// The display of TestGame: 15360 x 11520 twips, so the tile row lies at 10000.
constexpr std::int32_t kGround = 10000;
constexpr std::int32_t kScreenWidth = 15360;

TEST(Tick, TheRobotFallsFromTheSkyAndLandsExactlyOnTheTileRow) {
    TestGame t;
    t.game.restart_game();
    ASSERT_EQ(t.s().ground_y, kGround);
    ASSERT_EQ(t.s().hero_pos[1], 3000);
    t.ticks(1);
    EXPECT_EQ(t.s().hero_pos[1], 3100);
    t.ticks(69);
    EXPECT_EQ(t.s().hero_pos[1], kGround);
    t.ticks(50);
    EXPECT_EQ(t.s().hero_pos[1], kGround);
    EXPECT_EQ(t.s().hero_pos[0], 1000);
    // The tiles' finding is used up by each tick.
    EXPECT_EQ(t.s().on_ground, 0);
    EXPECT_EQ(t.s().hero_dirty, 0);
}

TEST(Tick, ARobotAtRestIsNeitherErasedNorRepainted) {
    TestGame t;
    t.stand_at(5000);
    t.ticks(1);
    // A mark inside the body box, beside the torso where no picture of the robot lies.
    t.game.screen.point(5000 - 195, kGround - 500, kWhite);
    const int mx = int(to_px(5000 - 195));
    const int my = int(to_px(kGround - 500));
    t.ticks(3);
    EXPECT_EQ(t.s().hero_dirty, 0);
    EXPECT_EQ(t.game.screen.pixel(mx, my), kWhite);

    // Each of the four reasons makes the tick erase it.
    const auto erased_by = [&](auto reason) {
        TestGame u;
        u.stand_at(5000);
        u.ticks(1);
        u.game.screen.point(5000 - 195, kGround - 500, kWhite);
        reason(u.s());
        u.ticks(1);
        return u.game.screen.pixel(mx, my) == kBlack;
    };
    EXPECT_TRUE(erased_by([](GameState& s) { s.walking = kTrue8; }));
    EXPECT_TRUE(erased_by([](GameState& s) { s.flying = kTrue8; }));
    EXPECT_TRUE(erased_by([](GameState& s) { s.since_shot = 99; }));
    EXPECT_TRUE(erased_by([](GameState& s) { s.hero_pos[1] -= 400; }));  // in the air
}

// The picture after one tick of a robot in the air, drawn in black pictures over white:
// what is black is what the tick erased.
Surface erased_area(std::int16_t direction, std::int16_t last_direction, std::uint8_t wp) {
    TestGame t;
    t.game.restart_game();
    t.game.sprites = testing::black_hero(t.game.sprites);
    t.s().hero_pos = {7000, 5000};
    t.s().direction = direction;
    t.s().last_direction = last_direction;
    t.s().weapon_pose = wp;
    t.fill(kWhite);
    t.ticks(1);
    return t.game.screen;
}

Surface white_with_boxes(std::initializer_list<std::array<std::int64_t, 4>> boxes) {
    Surface s(1024, 768);
    s.box(0, 0, 1024 * 15, 768 * 15, kWhite);
    for (const auto& b : boxes)
        s.box(b[0], b[1], b[2], b[3], kBlack);
    return s;
}

TEST(Tick, ErasesTheBodyAndTheGunOnTheSideFaced) {
    const std::int64_t x = 7000;
    const std::int64_t y = 5000;
    const std::array<std::int64_t, 4> body{x - 210, y - 15, x + 210, y - 990};
    const std::array<std::int64_t, 4> level{x + 205, y - 360, x + 585, y - 585};
    const std::array<std::int64_t, 4> raised{x + 205, y - 360, x + 285, y - 1200};
    const std::array<std::int64_t, 4> level_left{x - 205, y - 360, x - 585, y - 585};
    const std::array<std::int64_t, 4> raised_left{x - 205, y - 360, x - 285, y - 1200};

    EXPECT_EQ(erased_area(1, 1, 1).image(), white_with_boxes({body, level}).image());
    EXPECT_EQ(erased_area(1, 1, 0).image(), white_with_boxes({body, raised}).image());
    EXPECT_EQ(erased_area(-1, -1, 1).image(), white_with_boxes({body, level_left}).image());
    // Turned since the last arrow key: the gun is erased on both sides.
    EXPECT_EQ(erased_area(-1, 1, 1).image(), white_with_boxes({body, level_left, level}).image());
    EXPECT_EQ(erased_area(1, -1, 0).image(), white_with_boxes({body, raised, raised_left}).image());
}

TEST(Tick, WalkingStepsAndProbesAheadOfTheGun) {
    TestGame t;
    t.stand_at(5000);
    t.s().walking = kTrue8;
    t.ticks(1);
    EXPECT_EQ(t.s().hero_pos[0], 5100);
    EXPECT_EQ(t.s().muzzle_x, 5100 + 565);
    EXPECT_EQ(t.s().feet_frame, 1);

    t.s().weapon_pose = 0;
    t.ticks(1);
    EXPECT_EQ(t.s().hero_pos[0], 5200);
    EXPECT_EQ(t.s().muzzle_x, 5200 + 310);
    EXPECT_EQ(t.s().feet_frame, 0);

    t.s().weapon_pose = 1;
    t.s().direction = -1;
    t.ticks(1);
    EXPECT_EQ(t.s().hero_pos[0], 5100);
    EXPECT_EQ(t.s().muzzle_x, 5100 - 565);
    // On the tile row all the way: the ground never blocks, and the robot stays on it.
    EXPECT_EQ(t.s().hero_pos[1], kGround);
}

// Whether a robot walking right from x = 5000 on the ground is stopped by one extra
// tile with its top-left corner at x 5660, `above` twips above the robot's feet.
bool blocked_by_tile_at(std::int32_t above, bool small_tile = false) {
    TestGame t;
    if (small_tile)
        t.game.sprites.preg.image = QImage(1, 1, QImage::Format_RGB32);  // 15 x 15 twips
    t.stand_at(5000);
    t.s().pregs[50] = {5660, t.s().ground_y - above};  // a row that was not laid
    t.s().walking = kTrue8;
    t.ticks(1);
    EXPECT_EQ(t.s().muzzle_x, 5665);
    EXPECT_EQ(t.s().feet_frame, 1);  // the legs move also when the step is taken back
    return t.s().hero_pos[0] == 5000;
}

TEST(Tick, TheWallProbeLooksFromTheTopOfTheRobotTo100AboveItsFeet) {
    // Probes at y - 990, y - 890, ..., y - 190; a tile is 360 high.
    EXPECT_FALSE(blocked_by_tile_at(991 + 360));
    EXPECT_TRUE(blocked_by_tile_at(990 + 360));
    EXPECT_TRUE(blocked_by_tile_at(190));
    EXPECT_FALSE(blocked_by_tile_at(189));
    // A 15-twip tile between two probe points lets the robot pass; on one it does not.
    EXPECT_FALSE(blocked_by_tile_at(950, true));
    EXPECT_TRUE(blocked_by_tile_at(905, true));
    EXPECT_TRUE(blocked_by_tile_at(990, true));
    EXPECT_FALSE(blocked_by_tile_at(1006, true));
    EXPECT_TRUE(blocked_by_tile_at(205, true));
    EXPECT_FALSE(blocked_by_tile_at(170, true));
}

TEST(Tick, TheTilesNeverLaidStopAWalkingRobotAtTheWindowCorner) {
    // Facing left at x = 1000 high up: the probe at x 335 meets the tile at (0, 0).
    const auto walk_left_at_the_corner = [](TestGame& t) {
        t.game.restart_game();
        t.s().hero_pos = {1000, 1000};
        t.s().direction = -1;
        t.s().walking = kTrue8;
        t.ticks(1);
        EXPECT_EQ(t.s().muzzle_x, 335);
        return t.s().hero_pos[0];
    };
    TestGame t;
    EXPECT_EQ(walk_left_at_the_corner(t), 1000);

    // A display wide enough for 51 tiles leaves no row unlaid.
    TestGame wide;
    wide.display.screen = {30000, 11520};
    EXPECT_EQ(walk_left_at_the_corner(wide), 900);
}

TEST(Tick, ARobotCanStandOnTheTileAtTheWindowCorner) {
    TestGame t;
    t.game.restart_game();
    t.s().hero_pos = {300, 200};
    t.ticks(5);
    EXPECT_EQ(t.s().hero_pos[1], 200);
}

TEST(Tick, WrapsAroundTheDisplayEdges) {
    const auto walk = [](std::int32_t x, std::int16_t d) {
        TestGame t;
        t.stand_at(x);
        t.s().direction = d;
        t.s().walking = kTrue8;
        t.ticks(1);
        return t.s().hero_pos[0];
    };
    EXPECT_EQ(walk(50, -1), kScreenWidth);
    EXPECT_EQ(walk(0, -1), kScreenWidth);
    EXPECT_EQ(walk(100, -1), 0);
    EXPECT_EQ(walk(kScreenWidth, 1), 0);
    EXPECT_EQ(walk(kScreenWidth - 100, 1), kScreenWidth);  // equal to the width: stays
    EXPECT_EQ(walk(kScreenWidth - 50, 1), 0);
}

TEST(Tick, TheJetLifts300ThenHolds200ATickWhileFuelLasts) {
    TestGame t;
    t.stand_at(5000);
    t.s().fuel = 3;
    t.s().flying = kTrue8;
    std::vector<std::int32_t> heights;
    for (int i = 0; i < 6; ++i) {
        t.ticks(1);
        heights.push_back(kGround - t.s().hero_pos[1]);
    }
    // Up 300 from the ground, then 300 up and 100 down; then the fall.
    EXPECT_EQ(heights, (std::vector<std::int32_t>{300, 500, 700, 600, 500, 400}));
    EXPECT_EQ(t.s().fuel, 0);
}

TEST(Tick, WithoutFuelTheJetRepaintsButDoesNotLift) {
    TestGame t;
    t.stand_at(5000);
    t.ticks(1);
    t.s().fuel = 0;
    t.s().flying = kTrue8;
    t.game.screen.point(5000 - 195, kGround - 500, kWhite);
    t.ticks(3);
    EXPECT_EQ(t.s().hero_pos[1], kGround);
    EXPECT_EQ(t.s().fuel, 0);
    // Erased and painted again, with the flame behind the legs.
    EXPECT_EQ(t.game.screen.pixel(int(to_px(5000 - 195)), int(to_px(kGround - 500))), kBlack);
    int flame = 0;
    for (int x = int(to_px(5000 - 202)); x < int(to_px(5000 - 52)); ++x)
        flame += t.game.screen.pixel(x, int(to_px(kGround - 100))) != kBlack;
    EXPECT_GT(flame, 0);
}

TEST(Tick, NothingHoldsTheRobotBelowTheTopOfTheWindow) {
    TestGame t;
    t.stand_at(5000);
    t.s().flying = kTrue8;
    t.ticks(60);
    EXPECT_EQ(t.s().hero_pos[1], kGround - 300 - 59 * 200);
    EXPECT_LT(t.s().hero_pos[1], 0);
    t.s().flying = 0;
    t.ticks(200);
    EXPECT_EQ(t.s().hero_pos[1], kGround);
}

TEST(Tick, CountsTheReloadDownToZero) {
    TestGame t;
    t.stand_at(5000);
    t.s().reload_counter = 2;
    t.ticks(1);
    EXPECT_EQ(t.s().reload_counter, 1);
    t.ticks(3);
    EXPECT_EQ(t.s().reload_counter, 0);
}

TEST(Tick, RedrawsTheWholePictureOnceWhenAsked) {
    TestGame t;
    t.stand_at(5000);
    t.s().redraw_request = kTrue16;
    t.fill(kWhite);
    t.ticks(1);
    EXPECT_EQ(t.s().redraw_request, 0);
    EXPECT_EQ(t.random.reseeds, 1);
    EXPECT_EQ(t.game.screen.pixel(1000, 760), kBlack);  // the white is gone
    t.ticks(1);
    EXPECT_EQ(t.random.reseeds, 1);
}

// The status panel as it reads after printing these two lines.
QImage panel_with(const QString& first, const QString& second) {
    TestGame t;
    Surface& p = t.game.paramspic.surface;
    p.cls();
    p.print(first);
    p.print(second);
    return p.image();
}

TEST(Tick, WritesThePointsAndTheFuelOnTheShownStatusPanel) {
    TestGame t;
    t.stand_at(5000);
    t.game.toggle_paramspic();
    ASSERT_TRUE(t.game.paramspic.visible);
    t.s().score = 0;
    t.s().fuel = 1000;
    t.ticks(1);
    const QImage shown = t.game.paramspic.surface.image();
    EXPECT_EQ(shown, panel_with("Очки:  0 ", "Топливо:  1000 "));
    EXPECT_NE(shown, panel_with("Очки: 0 ", "Топливо: 1000 "));
    EXPECT_NE(shown, panel_with("Очки:  0 ", "Топливо:  100 "));

    t.s().score = -300;
    t.s().fuel = 7;
    t.ticks(1);
    EXPECT_EQ(t.game.paramspic.surface.image(), panel_with("Очки: -300 ", "Топливо:  7 "));

    // Hidden, the panel keeps what it showed.
    t.game.toggle_paramspic();
    t.s().score = 900;
    t.ticks(1);
    EXPECT_EQ(t.game.paramspic.surface.image(), panel_with("Очки: -300 ", "Топливо:  7 "));
}

TEST(Tick, TheThresholdIsTwiceTheScoreOfTheLastVisitAndOnlyWhileThePanelShows) {
    TestGame t;
    t.stand_at(5000);
    t.s().score = 1300;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 500);  // panel hidden

    t.game.toggle_paramspic();
    t.s().score = 999;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 500);
    t.s().score = 1300;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 1300);
    EXPECT_EQ(t.s().in_magazine, kTrue16);
    EXPECT_FALSE(t.timer.on);
    t.s().score = 2599;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 1300);
    t.s().score = 2600;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 2600);

    // A threshold past 2^31 does not come round to negative.
    t.s().magazine_score = 1'500'000'000;
    t.s().score = 1'600'000'000;
    t.ticks(1);
    EXPECT_EQ(t.s().magazine_score, 1'500'000'000);
}

TEST(Tick, AMonsterOverTheRobotsTopOrBottomCentreKillsIt) {
    const auto tick_with_monster = [](TestGame& t, Vrag v) {
        t.stand_at(5000);
        t.s().vrag_spawn = 100;
        t.game.sprites.preg.image.fill(Qt::black);  // no tile under the message
        t.s().vrags[7] = v;
        t.ticks(1);  // the monster moves 100 before the test
    };
    TestGame t;
    tick_with_monster(t, {5000 - 100, kGround - 990, 1});
    EXPECT_FALSE(t.timer.on);
    Surface message(1024, 768);
    message.set_font_size(20);
    message.set_print_pos(100, 100);
    message.set_fore_colour(kGreen);
    message.print(QStringLiteral("Вы погибли в честном, но неравном бою..."));
    const QRect top_of_window(0, 0, 1024, 60);
    EXPECT_EQ(t.game.screen.image().copy(top_of_window), message.image().copy(top_of_window));
    EXPECT_EQ(t.game.screen.font_size(), 20);
    EXPECT_EQ(t.game.screen.fore_colour(), kBlack);

    TestGame u;
    tick_with_monster(u, {5000 + 100, kGround + 400, -1});
    EXPECT_FALSE(u.timer.on);
    // Over the gun and the body, but not over the centre line: the robot lives.
    TestGame v;
    tick_with_monster(v, {5600 - 100, kGround - 500, 1});
    EXPECT_TRUE(v.timer.on);
}

}  // namespace
}  // namespace grimbolt
