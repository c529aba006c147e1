// The ground tiles: drawn again every tick, and the point test the robot stands and
// bumps on. Rows that were never laid sit at the window's origin and count as tiles.

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {

bool Game::in_preg(std::int32_t tx, std::int32_t ty) const {
    const double pw = sprites.preg.W();
    const double ph = sprites.preg.H();
    for (int i = 0; i < s.preg_rows(); ++i) {
        const Preg& p = s.pregs[i];
        // Edges included: neighbouring tiles share their common edge.
        if (p.x <= tx && tx <= p.x + pw && p.y <= ty && ty <= p.y + ph)
            return true;
    }
    return false;
}

void Game::redraw_pregs() {
    // The footing: points every 100 twips along the robot's soles, a torso width
    // either side of its middle.
    const double tw = sprites.Hero_tul.W();
    const std::int64_t left = cint(s.hero_pos[0] - tw);
    const std::int64_t right = cint(s.hero_pos[0] + tw);
    bool found = false;
    for (std::int64_t tx = left; tx <= right; tx += 100) {
        if (in_preg(wrap<std::int32_t>(tx), s.hero_pos[1])) {
            s.on_ground = kTrue8;
            found = true;
        }
    }
    // A footing found by a redraw lasts until the next tick, also across a new game that
    // moves the robot away; the first rules counted such a stale footing as a landing.
    if (found || (rules < 2 && s.on_ground == kTrue8))
        s.landed = kTrue8;

    for (int i = 0; i < s.preg_rows(); ++i)
        screen.picture(sprites.preg.image, s.pregs[i].x, s.pregs[i].y, Rop::SrcPaint);
}

}  // namespace grimbolt
