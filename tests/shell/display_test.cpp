// A scripted game on whatever display the offscreen platform was given: ctest runs this
// program once for each display, from 320 x 200 to 8K, and at a pixel ratio of 2.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/script_player.h"
#include "shell/mainfrm.h"

namespace grimbolt {
namespace {

// Whether each stretch of the tile row, one tile wide, shows some ink.
bool tiles_show_across(Surface& screen, const GameState& s, int tile_px) {
    const int top = int(to_px(s.ground_y));
    const int bottom = std::min(screen.height_px(), top + tile_px / 2);
    for (int left = 0; left < screen.width_px(); left += tile_px) {
        bool ink = false;
        for (int y = std::max(top, 0); y < bottom && !ink; ++y) {
            for (int x = left; x < std::min(left + tile_px, screen.width_px()) && !ink; ++x)
                ink = screen.pixel(x, y) != kBlack;
        }
        if (!ink)
            return false;
    }
    return true;
}

TEST(Display, AScriptedGameStartsLandsAndPlays) {
    const QScreen* display = QGuiApplication::primaryScreen();
    ASSERT_NE(display, nullptr);
    const QSize size = display->size();
    std::printf("display %d x %d at pixel ratio %.1f\n", size.width(), size.height(),
                display->devicePixelRatio());

    ScriptPlayer player;
    player.play(parse_script("new\ndown 39\ntick 3\nup 39\n").events);
    Mainfrm* w = player.window();
    ASSERT_NE(w, nullptr);
    const GameState& s = w->game().s;

    // The tile row: gapless, overhanging both edges of the display.
    const std::int32_t tile = std::int32_t(w->game().sprites.preg.W());
    EXPECT_LE(s.pregs[0].x, -tile);
    EXPECT_GE(s.pregs[std::size_t(s.preg_count) - 1].x, size.width() * kTwipsPerPixel);
    for (int i = 1; i < s.preg_count; ++i)
        ASSERT_EQ(s.pregs[std::size_t(i)].x - s.pregs[std::size_t(i) - 1].x, tile);

    // The robot falls to the tiles; play goes on after each death, as the pause command
    // allows.
    bool landed = false;
    for (int i = 0; i < 1000 && !landed; ++i) {
        player.play({Command::Tick, 1, 0});
        landed = s.hero_pos[1] == s.ground_y;
        if (!w->Timer1().enabled())
            player.play({Command::Pause, 0, 0});
    }
    EXPECT_TRUE(landed);
    player.play(parse_script("down 16\ntick 20\ndown 88\ntick 10\nup 88\ntick 30\npaint\n").events);
    EXPECT_TRUE(tiles_show_across(w->game().screen, s, int(to_px(tile))));
    EXPECT_TRUE(w->game().paramspic.visible);
}

}  // namespace
}  // namespace grimbolt
