// The robot's bullets: fired from the level gun, 300 twips a step, ended by a tile
// that was never laid, by a monster or by leaving the display.

#include <algorithm>

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {
namespace {

constexpr std::int32_t kPullSpeed = 300;

}  // namespace

void Game::fire() {
    if (s.weapon_pose != 1 || s.reload_counter != 0)
        return;
    // The recoil and the reload run even when every slot is busy and the shot is lost.
    s.since_shot = 1;
    s.reload_counter = wrap<std::uint8_t>(s.reload_time);
    ++happenings_.shots;

    // The middle of the level gun, at the height of the level barrel.
    const double hy = s.hero_pos[1];
    const std::int32_t y1 = wrap<std::int32_t>(
        cint(hy - sprites.Hero_feet[s.feet_frame & 1].H() - sprites.Hero_stv[1].H()));
    const std::int32_t x1 = wrap<std::int32_t>(
        std::int64_t{s.direction} * (half(sprites.Hero_pushk[1].W()) + half(sprites.Hero_tul.W())) +
        s.hero_pos[0]);
    add_pull(x1, y1, s.direction);
}

void Game::add_pull(std::int32_t x1, std::int32_t y1, std::int16_t direction) {
    for (Pull& pull : s.pulls) {
        if (pull.dir == 0) {
            pull.x = wrap<std::int32_t>(x1 - half(sprites.pul.W()));
            pull.y = wrap<std::int32_t>(y1 - half(sprites.pul.H()));
            pull.dir = direction;
            return;
        }
    }
}

void Game::redraw_pulls() {
    const double pw = sprites.pul.W();
    const double ph = sprites.pul.H();
    const double tw = sprites.preg.W();
    const double th = sprites.preg.H();
    const double screen_width = platform_.display.screen_size().width;
    for (Pull& pull : s.pulls) {
        if (pull.dir == 0)
            continue;
        screen.box(pull.x, pull.y, cint(pull.x + pw), cint(pull.y + ph), kBlack);
        pull.x = wrap<std::int32_t>(pull.x + std::int64_t{pull.dir} * kPullSpeed);

        // Only the tile rows the ground row left empty stop a bullet, and only strictly
        // inside; a corner in two of them starts two explosions.
        for (int j = std::max<int>(s.preg_count, 0); j < kPregRows; ++j) {
            const Preg& p = s.pregs[j];
            if (p.x < pull.x && pull.x < p.x + tw && p.y < pull.y && pull.y < p.y + th) {
                pull.dir = 0;
                add_vzriv(pull.x, pull.y);
            }
        }

        // A monster counts even when a tile has just ended the bullet.
        std::int16_t m = 0;
        if (in_vrag(pull.x, pull.y, m)) {
            pull.dir = 0;
            add_vzriv(pull.x, pull.y);
            delete_vrag(m);
        }

        if (screen_width < pull.x || pull.x + pw < 0)
            pull.dir = 0;

        // Drawn even when just ended: a freed slot is never erased, so its last picture
        // stays until something is drawn over it.
        screen.picture(sprites.pul.image, pull.x, pull.y, Rop::SrcPaint);
    }
}

}  // namespace grimbolt
