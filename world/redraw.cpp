// The full redraw of the main window, and the paint and resize events that call it.

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {

void Game::redraw_all() {
    Random& random = platform_.random;
    random.reseed(platform_.clock.seconds_since_midnight());

    // The whole outer window, borders and menu bar included.
    const Size window = platform_.display.window_size();
    screen.box(0, 0, window.width, window.height, kBlack);

    // About three points per 100 twips of width, scattered over the whole window.
    const std::int64_t w = window.width;
    for (std::int64_t i = 1; i <= w; i += 100) {
        for (const Rgb colour : {kWhite, kBlue, kYellow}) {
            const double r1 = random.next();
            const double r2 = random.next();
            screen.point(cint(r1 * window.width), cint(r2 * window.height), colour);
        }
    }

    Paint_Hero(Rop::SrcPaint);
    redraw_pregs();
    redraw_pulls();
    redraw_vzrivs();
}

void Game::Form_Paint() {
    redraw_all();
    toggle_paramspic();
}

void Game::Form_Resize() {
    redraw_all();
}

// Every paint event flips the panel; hiding it uncovers the window beneath, whose
// paint event shows it again.
void Game::toggle_paramspic() {
    paramspic.left = 0;
    paramspic.top = s.ground_y;
    paramspic.visible = !paramspic.visible;
}

}  // namespace grimbolt
