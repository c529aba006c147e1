#include <gtest/gtest.h>

#include "core/keys.h"
#include "fakes.h"
#include "hero_picture.h"

namespace grimbolt {
namespace {

using testing::draw_expected_hero;
using testing::HeroPose;
using testing::TestGame;

// A robot standing at rest with its gun raised, painted once on black.
struct Standing {
    TestGame t;

    Standing() {
        t.stand_at(6000);
        t.s().weapon_pose = 0;
        t.game.Paint_Hero(Rop::SrcPaint);
    }
    GameState& s() { return t.s(); }
    void down(std::int16_t code, std::int16_t shift = 0) { t.game.Form_KeyDown(code, shift); }
    void up(std::int16_t code) { t.game.Form_KeyUp(code, 0); }
    // The robot of the layout table painted, XOR-erased, and painted in its new pose.
    // Where two of its pictures overlap, the erase leaves their common pixels.
    QImage expected(const HeroPose& to) const {
        const HeroPose from{6000, 10000, 1, 0, 0};
        Surface e(1024, 768);
        draw_expected_hero(e, t.game.sprites, from);
        draw_expected_hero(e, t.game.sprites, from, Rop::SrcInvert);
        draw_expected_hero(e, t.game.sprites, to);
        return e.image();
    }
};

TEST(Keys, LeftTurnsTheRobotOnTheSpotAndWalks) {
    Standing r;
    r.down(key::Left);
    EXPECT_EQ(r.s().walking, 1);
    EXPECT_EQ(r.s().last_direction, 1);
    EXPECT_EQ(r.s().direction, -1);
    EXPECT_EQ(r.s().hero_pos[0], 6000);  // the tick walks it
    // The right-facing robot is XOR-erased; the left-facing one is painted.
    EXPECT_EQ(r.t.game.screen.image(), r.expected({6000, 10000, -1, 0, 0}));

    // Until the next arrow key the tick keeps seeing the turn.
    r.up(key::Left);
    EXPECT_EQ(r.s().walking, 0);
    EXPECT_EQ(r.s().last_direction, 1);
    EXPECT_EQ(r.s().direction, -1);
}

TEST(Keys, RightWhileFacingRightStillRepaintsAndSettlesTheTurn) {
    Standing r;
    r.s().last_direction = -1;
    r.down(key::Right);
    EXPECT_EQ(r.s().walking, 1);
    EXPECT_EQ(r.s().last_direction, 1);
    EXPECT_EQ(r.s().direction, 1);
    EXPECT_EQ(r.t.game.screen.image(), r.expected({6000, 10000, 1, 0, 0}));
}

TEST(Keys, ZTogglesTheGunAndRepaintsIt) {
    Standing r;
    r.down(key::Z);
    EXPECT_EQ(r.s().weapon_pose, 1);
    EXPECT_EQ(r.t.game.screen.image(), r.expected({6000, 10000, 1, 0, 1}));
    r.down(key::Z);
    EXPECT_EQ(r.s().weapon_pose, 0);
    r.up(key::Z);
    EXPECT_EQ(r.s().weapon_pose, 0);
}

TEST(Keys, AKeyActionDuringARecoilAdvancesItTwice) {
    Standing r;
    r.s().since_shot = 1;
    r.down(key::Z);
    EXPECT_EQ(r.s().since_shot, 31);
    r.down(key::Left);
    EXPECT_EQ(r.s().since_shot, 61);
}

TEST(Keys, XRunsTheJetWhileHeld) {
    Standing r;
    const QImage before = r.t.game.screen.image();
    r.down(key::X);
    EXPECT_EQ(r.s().flying, 1);
    EXPECT_EQ(r.t.game.screen.image(), before);  // the next tick shows the flame
    r.down(key::X);                              // a repeat
    EXPECT_EQ(r.s().flying, 1);
    r.up(key::X);
    EXPECT_EQ(r.s().flying, 0);
}

TEST(Keys, ReleasingEitherArrowStopsTheRobot) {
    Standing r;
    r.down(key::Left);
    r.down(key::Right);
    r.up(key::Left);  // Right is still held
    EXPECT_EQ(r.s().walking, 0);
    EXPECT_EQ(r.s().direction, 1);
    EXPECT_EQ(r.s().last_direction, -1);
}

TEST(Keys, TheModifierMaskChangesNothing) {
    Standing a;
    Standing b;
    a.down(key::Left, 0);
    b.down(key::Left, 1 | 2 | 4);
    EXPECT_EQ(a.s().direction, b.s().direction);
    EXPECT_EQ(a.s().walking, b.s().walking);
    EXPECT_EQ(a.t.game.screen.image(), b.t.game.screen.image());
}

// The fields the keys may change, to compare before and after.
auto key_fields(const GameState& s) {
    return std::make_tuple(s.walking, s.flying, s.direction, s.last_direction, s.weapon_pose,
                           s.since_shot, s.hero_pos, s.reload_counter, s.score, s.fuel);
}

TEST(Keys, EveryOtherCodeIsIgnored) {
    for (int code = 0; code < 256; ++code) {
        if (code == key::Left || code == key::Right || code == key::Z || code == key::X ||
            code == key::Shift)
            continue;
        Standing r;
        const auto before = key_fields(r.s());
        const QImage picture = r.t.game.screen.image();
        r.down(std::int16_t(code));
        r.up(std::int16_t(code));
        EXPECT_EQ(key_fields(r.s()), before) << code;
        EXPECT_EQ(r.t.game.screen.image(), picture) << code;
    }
}

TEST(Keys, WhileTheShopIsUpKeyDownsDoNothingButKeyUpsStillStop) {
    Standing r;
    r.s().walking = 1;
    r.s().flying = 1;
    r.s().in_magazine = kTrue16;
    const auto before = key_fields(r.s());
    const QImage picture = r.t.game.screen.image();
    for (const std::int16_t code : {key::Left, key::Right, key::Z, key::X, key::Shift})
        r.down(code);
    EXPECT_EQ(key_fields(r.s()), before);
    EXPECT_EQ(r.t.game.screen.image(), picture);

    r.up(key::Right);
    EXPECT_EQ(r.s().walking, 0);
    r.up(key::X);
    EXPECT_EQ(r.s().flying, 0);
}

TEST(Keys, ActWhileTheTimerIsStopped) {
    Standing r;
    r.t.timer.on = false;
    r.down(key::Left);
    EXPECT_EQ(r.s().direction, -1);
    EXPECT_EQ(r.t.game.screen.image(), r.expected({6000, 10000, -1, 0, 0}));
}

}  // namespace
}  // namespace grimbolt
