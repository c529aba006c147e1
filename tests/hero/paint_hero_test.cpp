#include <gtest/gtest.h>

#include "fakes.h"
#include "hero_picture.h"

namespace grimbolt {
namespace {

using testing::draw_expected_hero;
using testing::HeroPose;
using testing::TestGame;

// Paints the robot of this pose on black with the game, and with the layout table.
struct Painted {
    TestGame t;
    Surface expected{1024, 768};

    explicit Painted(const HeroPose& p) {
        t.game.restart_game();
        GameState& s = t.s();
        s.hero_pos = {std::int32_t(p.hx), std::int32_t(p.hy)};
        s.direction = std::int16_t(p.direction);
        s.feet_frame = std::uint8_t(p.feet_frame);
        s.weapon_pose = std::uint8_t(p.weapon_pose);
        s.since_shot = std::uint8_t(p.since_shot);
        s.flying = p.flying ? kTrue8 : 0;
        t.game.Paint_Hero(Rop::SrcPaint);
        draw_expected_hero(expected, t.game.sprites, p);
    }
};

int count_not_black(Surface& s) {
    int n = 0;
    for (int y = 0; y < s.height_px(); ++y)
        for (int x = 0; x < s.width_px(); ++x)
            n += s.pixel(x, y) != kBlack;
    return n;
}

TEST(PaintHero, PlacesEveryPictureAsTheLayoutTableSaysInEveryPose) {
    // An x that is no whole number of pixels, so a rounding slip shows.
    for (const int direction : {1, -1})
        for (const int feet : {0, 1})
            for (const int wp : {0, 1})
                for (const bool flying : {false, true}) {
                    const HeroPose pose{3007, 6000, direction, feet, wp, 100, flying};
                    Painted p(pose);
                    EXPECT_EQ(p.t.game.screen.image(), p.expected.image())
                        << "direction " << direction << " feet " << feet << " gun " << wp
                        << " flying " << flying;
                    EXPECT_GT(count_not_black(p.t.game.screen), 500);
                }
}

TEST(PaintHero, TheRecoilAdvances15AtEveryPaintingUpTo106) {
    TestGame t;
    t.game.restart_game();
    t.s().since_shot = 1;
    std::vector<int> series;
    for (int i = 0; i < 9; ++i) {
        t.game.Paint_Hero(i % 2 ? Rop::SrcInvert : Rop::SrcPaint);
        series.push_back(t.s().since_shot);
    }
    EXPECT_EQ(series, (std::vector<int>{16, 31, 46, 61, 76, 91, 106, 106, 106}));

    for (const int rest : {0, 100, 106}) {
        t.s().since_shot = std::uint8_t(rest);
        t.game.Paint_Hero(Rop::SrcPaint);
        EXPECT_EQ(t.s().since_shot, rest);
    }
}

TEST(PaintHero, TheBarrelIsDrawnAtTheAdvancedRecoil) {
    // Painted from since_shot 31, the barrel is drawn at 46: level it slides along the
    // facing, raised it rises.
    for (const int direction : {1, -1})
        for (const int wp : {0, 1}) {
            TestGame t;
            t.game.restart_game();
            t.s().hero_pos = {6000, 6000};
            t.s().direction = std::int16_t(direction);
            t.s().weapon_pose = std::uint8_t(wp);
            t.s().since_shot = 31;
            t.game.Paint_Hero(Rop::SrcPaint);
            Surface expected(1024, 768);
            draw_expected_hero(expected, t.game.sprites, {6000, 6000, direction, 0, wp, 46});
            EXPECT_EQ(t.game.screen.image(), expected.image()) << direction << " " << wp;
        }
}

// Pixels that OR then XOR leave on black, each checked to lie where two pictures of the
// robot at (6000, 6000) overlap.
int remnants_after_or_then_xor(int wp, bool flying) {
    TestGame t;
    t.game.restart_game();
    t.s().hero_pos = {6000, 6000};
    t.s().weapon_pose = std::uint8_t(wp);
    t.s().flying = flying ? kTrue8 : 0;
    t.game.Paint_Hero(Rop::SrcPaint);
    t.game.Paint_Hero(Rop::SrcInvert);

    const auto in = [](int v, std::int64_t from, std::int64_t to) {
        return v >= to_px(from) && v < to_px(to);
    };
    Surface& s = t.game.screen;
    int left = 0;
    for (int y = 0; y < s.height_px(); ++y)
        for (int x = 0; x < s.width_px(); ++x) {
            if (s.pixel(x, y) == kBlack)
                continue;
            ++left;
            // Level: gun 6105..6465 x 5490..5565 under the barrel from 6385. Raised: the
            // barrel 6105..6180 x 5090..5210 reaches 20 twips into the gun from 5190.
            // The flame 5798..5993 x 5640..5970 lies over the legs from 5948.
            const bool gun_and_barrel = wp == 1 ? in(x, 6385, 6465) && in(y, 5490, 5565)
                                                : in(x, 6105, 6180) && in(y, 5190, 5210);
            const bool legs_and_flame = flying && in(x, 5948, 5993) && in(y, 5640, 5970);
            EXPECT_TRUE(gun_and_barrel || legs_and_flame) << x << "," << y;
        }
    return left;
}

TEST(PaintHero, OrThenXorLeavesBlackExceptWherePicturesOverlap) {
    EXPECT_GT(remnants_after_or_then_xor(0, false), 0);
    EXPECT_GT(remnants_after_or_then_xor(1, false), 0);
    EXPECT_GT(remnants_after_or_then_xor(1, true), remnants_after_or_then_xor(1, false));
    EXPECT_GT(remnants_after_or_then_xor(0, true), remnants_after_or_then_xor(0, false));
}

}  // namespace
}  // namespace grimbolt
