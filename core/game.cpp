#include "core/game.h"

#include <utility>

#include "core/arith.h"

namespace grimbolt {
namespace {

// The status panel as laid out on the main window.
constexpr std::int32_t kParamsLeft = 360;
constexpr std::int32_t kParamsTop = 2520;
constexpr std::int32_t kParamsWidth = 5175;
constexpr std::int32_t kParamsHeight = 495;
// Two lines of this size fit the panel's 33 pixels.
constexpr double kParamsFontPoints = 8.25;

}  // namespace

Game::Game(Sprites sprites_in, Platform platform)
    : sprites(std::move(sprites_in)), platform_(platform) {
    paramspic.surface = Surface(int(to_px(kParamsWidth)), int(to_px(kParamsHeight)), kPanelGrey);
    paramspic.surface.set_fore_colour(kGreen);
    paramspic.surface.set_font_size(kParamsFontPoints);
    paramspic.left = kParamsLeft;
    paramspic.top = kParamsTop;
    paramspic.width = kParamsWidth;
    paramspic.height = kParamsHeight;
}

Size Game::client_size() const {
    return {screen.width_px() * kTwipsPerPixel, screen.height_px() * kTwipsPerPixel};
}

void Game::Form_Load() {
    restart_game();
}

void Game::Form_Activate() {
    redraw_all();
}

void Game::New_Game_Click() {
    restart_game();
    redraw_all();
    platform_.timer.set_enabled(true);
}

void Game::Pause_Click() {
    platform_.timer.set_enabled(!platform_.timer.enabled());
}

void Game::restart_game() {
    s.price_fuel = 500;
    s.magazine_score = 500;
    s.blast_size = 500;
    s.hero_pos[0] = 1000;
    s.price_rate = 300;
    s.price_blast = 200;
    s.vrag_count = 10;
    s.vrag_spawn = 80;
    s.fuel = 1000;
    s.in_magazine = 0;
    s.reload_time = 50;
    s.score = 0;
    s.hero_pos[1] = 3000;
    s.feet_frame = 0;
    s.direction = 1;
    s.weapon_pose = 1;
    s.since_shot = 100;
    s.preg_count = 0;
    s.landed = 0;
    s.earned = 0;
    s.calm_ms = 0;

    const Size screen_size = platform_.display.screen_size();
    const Sprite& preg = sprites.preg;

    // The ground line: four tile heights above the bottom of the display, cut to a
    // multiple of 100 so that a falling robot lands exactly on it.
    const std::int64_t ground = cint(screen_size.height - 4 * preg.H());
    s.ground_y = wrap<std::int32_t>(ground - ground % 100);
    // On a display too short for the usual start the ground line lies above it, and the
    // robot would fall past the tiles for ever: it starts on the ground line instead.
    if (s.ground_y < s.hero_pos[1])
        s.hero_pos[1] = s.ground_y;

    // A gapless row of tiles overhanging both edges of the display by two tiles.
    const std::int64_t w = cint(preg.W());
    const std::int64_t last = cint(screen_size.width + 2 * preg.W());
    if (w > 0) {
        for (std::int64_t x = -2 * w; x <= last && s.preg_count < kPregCapacity; x += w) {
            s.pregs[s.preg_count] = {wrap<std::int32_t>(x), s.ground_y};
            ++s.preg_count;
        }
    }

    if (comforts.fair_start) {
        // On the tiles in the middle, away from the edges where the monsters come in.
        const std::int64_t middle = cint(screen_size.width) / 2;
        s.hero_pos[0] = wrap<std::int32_t>(middle - middle % 100);
        s.hero_pos[1] = s.ground_y;
        s.calm_ms = kFairStartCalmMs;
    }

    s.hero_height = wrap<std::int32_t>(
        cint(sprites.Hero_tul.H() + sprites.Hero_feet[0].H() + sprites.Hero_head.H()));

    load_level();

    for (int i = 0; i <= s.vrag_count; ++i)
        s.vrags[i] = Vrag{};
    for (Pull& pull : s.pulls)
        pull.dir = 0;
    for (Vzriv& vzriv : s.vzrivs)
        vzriv.r = 0;
}

// Where a level's own setup would go; the game has one endless level.
void Game::load_level() {}

}  // namespace grimbolt
