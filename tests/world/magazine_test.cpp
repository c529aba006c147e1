#include <gtest/gtest.h>

#include "core/keys.h"
#include "fakes.h"

namespace grimbolt {
namespace {

using testing::TestGame;

// A game whose shop is up, opened at the given score.
void in_shop(TestGame& t, std::int32_t score) {
    t.game.restart_game();
    t.s().score = score;
    t.game.magazine();
}

// The shop box as it must look on a black 1024 x 768 window: centred, 10000 x 5000.
QImage shop_showing(const std::vector<QString>& lines) {
    Surface s(1024, 768);
    s.box_outline(2680, 3260, 12680, 8260, kBlue);
    s.set_font_size(12);
    s.set_fore_colour(kGreen);
    s.set_print_pos(2780, 3360);
    for (const QString& line : lines) {
        s.set_print_pos(2780, s.current_y());
        s.print(line);
    }
    return s.image();
}

TEST(Magazine, ShowsFiveGreenLinesInABlueBoxAndStopsTheGame) {
    TestGame t;
    in_shop(t, 1000);
    EXPECT_EQ(t.s().in_magazine, kTrue16);
    EXPECT_FALSE(t.timer.on);
    EXPECT_EQ(t.game.screen.image(),
              shop_showing({"Вы набрали  1000  очков, и вас пустили в магазин: ",
                            "1.  300  - увеличение скорострельности.",
                            "2.  200  - увеличение размера взрыва от ваших пуль.",
                            "3.  500  - топливо.", "Esc - вернуться в игру (когда всё купили)."}));
    EXPECT_EQ(t.game.screen.fore_colour(), kBlack);
    EXPECT_EQ(t.game.screen.font_size(), 12);

    // The box blacks out what was under it, and only that.
    t.fill(kWhite);
    t.game.magazine();
    EXPECT_EQ(t.game.screen.pixel(2680 / 15 + 1, 3260 / 15 + 1), kBlack);
    EXPECT_EQ(t.game.screen.pixel(2680 / 15 - 1, 3260 / 15), kWhite);
    EXPECT_EQ(t.game.screen.pixel(12680 / 15 + 1, 8260 / 15), kWhite);
}

TEST(Magazine, APurchaseNeedsMoreThanThePrice) {
    TestGame t;
    in_shop(t, 300);
    t.game.Form_KeyDown(key::One, 0);
    EXPECT_EQ(t.s().score, 300);
    EXPECT_EQ(t.s().reload_time, 50);

    t.s().score = 301;
    t.game.Form_KeyDown(key::One, 0);
    EXPECT_EQ(t.s().score, 1);
    EXPECT_EQ(t.s().reload_time, 35);
    EXPECT_EQ(t.s().in_magazine, kTrue16);

    t.s().score = 1000;
    t.game.Form_KeyDown(key::Two, 0);
    t.game.Form_KeyDown(key::Three, 0);
    EXPECT_EQ(t.s().score, 300);
    EXPECT_EQ(t.s().blast_size, 600);
    EXPECT_EQ(t.s().fuel, 2000);
    // The box comes back with the new score.
    EXPECT_EQ(t.game.screen.image(),
              shop_showing({"Вы набрали  300  очков, и вас пустили в магазин: ",
                            "1.  300  - увеличение скорострельности.",
                            "2.  200  - увеличение размера взрыва от ваших пуль.",
                            "3.  500  - топливо.", "Esc - вернуться в игру (когда всё купили)."}));

    // Keypad digits and every other key buy nothing; the game keys do nothing either.
    for (const std::int16_t code : {97, 98, 99, 13, 32, int(key::Shift), int(key::Right)})
        t.game.Form_KeyDown(code, 0);
    EXPECT_EQ(t.s().score, 300);
    EXPECT_EQ(t.s().walking, 0);
    EXPECT_EQ(t.s().pulls[0].dir, 0);
}

TEST(Magazine, TheRateOfFireStopsAt5ButIsStillPaidFor) {
    TestGame t;
    in_shop(t, 2000);
    for (const std::int16_t expected : {35, 20, 5, 5}) {
        t.game.Form_KeyDown(key::One, 0);
        EXPECT_EQ(t.s().reload_time, expected);
    }
    EXPECT_EQ(t.s().score, 2000 - 4 * 300);
}

TEST(Magazine, EscReturnsToAHarderGameAndDoublesThePrices) {
    TestGame t;
    in_shop(t, 1000);
    t.clock.seconds = 777;
    t.game.Form_KeyDown(key::Esc, 0);
    EXPECT_EQ(t.s().in_magazine, 0);
    EXPECT_TRUE(t.timer.on);
    EXPECT_EQ(t.s().score, 1002);
    EXPECT_EQ(t.s().vrag_count, 11);
    EXPECT_EQ(t.s().vrag_spawn, 65);
    EXPECT_EQ(t.s().price_rate, 600);
    EXPECT_EQ(t.s().price_blast, 400);
    EXPECT_EQ(t.s().price_fuel, 1000);
    EXPECT_EQ(t.random.last_seed, 777);  // the game picture is drawn over the box
    EXPECT_EQ(t.game.screen.pixel(2680 / 15, 3300 / 15), kBlack);

    // The next visit shows the doubled prices.
    t.game.magazine();
    const QRect box(2680 / 15, 3260 / 15, 668, 335);
    EXPECT_EQ(t.game.screen.image().copy(box),
              shop_showing({"Вы набрали  1002  очков, и вас пустили в магазин: ",
                            "1.  600  - увеличение скорострельности.",
                            "2.  400  - увеличение размера взрыва от ваших пуль.",
                            "3.  1000  - топливо.", "Esc - вернуться в игру (когда всё купили)."})
                  .copy(box));

    // The monsters stop at 51 rows and the spawn threshold at 5.
    for (int i = 0; i < 60; ++i) {
        t.s().in_magazine = kTrue16;
        t.game.Form_KeyDown(key::Esc, 0);
    }
    EXPECT_EQ(t.s().vrag_count, 50);
    EXPECT_EQ(t.s().vrag_spawn, 5);
}

// What the player hears of is counted once each: a shot, a hit, the shop opening (not
// its redrawing after a purchase), a purchase and a refused one.
TEST(Happenings, EachIsCountedOnceWhenItHappens) {
    testing::TestGame t;
    t.stand_at(5000);
    t.game.paramspic.visible = true;
    t.s().vrag_count = -1;  // an empty sky
    t.game.fire();
    EXPECT_EQ(t.game.happenings().shots, 1u);
    t.game.fire();  // still reloading: no shot
    EXPECT_EQ(t.game.happenings().shots, 1u);

    t.s().vrags[0] = {6000, 2000, 1};
    t.game.delete_vrag(0);
    EXPECT_EQ(t.game.happenings().hits, 1u);

    t.s().score = 1000;
    t.s().magazine_score = 500;
    t.ticks(1);
    ASSERT_NE(t.s().in_magazine, 0);
    t.game.magazine_key(key::One);    // 300 of 1000: bought, the shop drawn again
    t.game.magazine_key(key::Three);  // 500 of 700: bought
    t.game.magazine_key(key::Three);  // 500 of 200: refused
    const Happenings& h = t.game.happenings();
    EXPECT_EQ(h.shops, 1u);
    EXPECT_EQ(h.purchases, 2u);
    EXPECT_EQ(h.refusals, 1u);
    EXPECT_EQ(h.deaths, 0u);
}

}  // namespace
}  // namespace grimbolt
