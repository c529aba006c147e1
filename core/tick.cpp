// The game tick: the one loop that advances the world, one step per timer event.

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {
namespace {

constexpr std::int32_t kWalkStep = 100;
constexpr std::int32_t kRise = 300;
constexpr std::int32_t kFall = 100;
constexpr std::int32_t kProbeSpacing = 100;
constexpr std::int32_t kProbeAhead = 100;

}  // namespace

void Game::Timer1_Timer() {
    if (s.redraw_request == kTrue16) {
        s.redraw_request = 0;
        redraw_all();
    }
    redraw_pregs();
    redraw_pulls();
    redraw_vrags();

    if (s.reload_counter > 0)
        --s.reload_counter;

    if (s.walking == 1 || s.on_ground == 0 || s.flying != 0 || s.since_shot < 100)
        s.hero_dirty = kTrue16;
    if (s.hero_dirty == kTrue16)
        erase_hero();
    if (s.walking == 1)
        walk_hero();
    if (s.flying != 0 && s.fuel > 0) {
        s.fuel = wrap<std::int32_t>(std::int64_t{s.fuel} - 1);
        s.hero_pos[1] = wrap<std::int32_t>(std::int64_t{s.hero_pos[1]} - kRise);
    }
    // on_ground is what the tiles found before the robot moved, so a take-off rises
    // 300 at first and 200 a tick after that.
    if (s.on_ground == 0)
        s.hero_pos[1] = wrap<std::int32_t>(std::int64_t{s.hero_pos[1]} + kFall);
    if (s.hero_dirty == kTrue16) {
        Paint_Hero(Rop::SrcPaint);
        s.hero_dirty = 0;
    }

    redraw_vzrivs();
    if (s.on_ground == 1)
        s.on_ground = 0;

    // Only the robot's top centre and bottom centre count.
    std::int16_t m = 0;  // which monster does not matter here
    const std::int32_t top = wrap<std::int32_t>(std::int64_t{s.hero_pos[1]} - s.hero_height);
    if (in_vrag(s.hero_pos[0], top, m) || in_vrag(s.hero_pos[0], s.hero_pos[1], m))
        die();

    if (paramspic.visible)
        print_status();
}

// Black boxes over the body and over the gun on the side faced, and on the side faced
// before while the robot has turned since the last arrow key.
void Game::erase_hero() {
    const std::int64_t x = s.hero_pos[0];
    const std::int64_t y = s.hero_pos[1];
    const std::int64_t tw = cint(sprites.Hero_tul.W());
    const std::int64_t th2 = half(sprites.Hero_tul.W());
    const std::int64_t fh = cint(sprites.Hero_feet[0].H());
    const Sprite& gun = sprites.Hero_pushk[s.weapon_pose & 1];
    const Sprite& barrel = sprites.Hero_stv[s.weapon_pose & 1];
    const std::int64_t gun_reach = th2 + cint(gun.W()) + cint(barrel.W());
    const std::int64_t gun_top = y - fh - 2 * cint(gun.H()) - cint(barrel.H());

    screen.box(x - tw, y - 15, x + tw, y - s.hero_height, kBlack);
    const auto gun_box = [&](std::int64_t d) {
        screen.box(x + d * (th2 + 100), y - fh, x + d * gun_reach, gun_top, kBlack);
    };
    gun_box(s.direction);
    if (s.direction != s.last_direction)
        gun_box(s.last_direction);
}

// One step in the direction faced, taken back when a tile stands in front of the gun;
// then the wrap around the display's edges and the next leg picture.
void Game::walk_hero() {
    const std::int64_t d = s.direction;
    std::int64_t x = wrap<std::int32_t>(s.hero_pos[0] + d * kWalkStep);
    const std::int64_t y = s.hero_pos[1];

    const Sprite& gun = sprites.Hero_pushk[s.weapon_pose & 1];
    s.muzzle_x = wrap<std::int32_t>(
        cint(double(x) + double(d) * (double(half(sprites.Hero_tul.W())) + gun.W() + kProbeAhead)));
    for (std::int64_t p = y - s.hero_height; p <= y - kProbeSpacing; p += kProbeSpacing) {
        if (in_preg(s.muzzle_x, wrap<std::int32_t>(p))) {
            x = wrap<std::int32_t>(x - d * kWalkStep);
            break;
        }
    }

    const std::int64_t screen_width = platform_.display.screen_size().width;
    if (x < 0) {
        x = screen_width;
        load_level();
    }
    if (screen_width < x) {
        x = 0;
        load_level();
    }
    s.hero_pos[0] = wrap<std::int32_t>(x);
    s.feet_frame = (s.feet_frame + 1) % 2;
}

// The robot's death changes no game variable: the timer stops and the message stays
// until a full redraw. Only the count of deaths, for the shell, goes up.
void Game::die() {
    ++happenings_.deaths;
    platform_.timer.set_enabled(false);
    screen.set_font_size(20);
    screen.set_print_pos(100, 100);
    screen.set_fore_colour(kGreen);
    screen.print(texts.death);
    screen.set_fore_colour(kBlack);
}

void Game::print_status() {
    Surface& panel = paramspic.surface;
    panel.cls();
    panel.print(texts.score + number_text(s.score));
    panel.print(texts.fuel + number_text(s.fuel));
    // Compared in 64 bits: a doubled threshold past 2^31 must not turn negative and
    // open the shop on every tick.
    if (std::int64_t{s.score} >= 2 * std::int64_t{s.magazine_score}) {
        ++happenings_.shops;
        magazine();
        s.magazine_score = s.score;
    }
}

}  // namespace grimbolt
