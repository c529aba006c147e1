// The monsters: they enter at either edge of the display at a random height, fly
// straight across 100 twips a tick, and die by a bullet or an explosion for 100 points.

#include <algorithm>

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {
namespace {

constexpr double kVragSpeed = 100;
constexpr std::int32_t kVragPoints = 100;

}  // namespace

// A random percentage: a whole number from 0 to 100.
std::int64_t Game::percentage() {
    return cint(platform_.random.next() * 100);
}

// Rows 0 to vrag_count take part; the count never passes the last row.
int Game::last_vrag_row() const {
    return std::clamp<int>(s.vrag_count, -1, kVragRows - 1);
}

void Game::redraw_vrags() {
    // The safe start keeps the sky empty until the robot stands on the tiles.
    if (comforts.safe_start && s.landed == 0)
        return;
    // The fair start's calm: no monster moves or comes until it has passed.
    if (s.calm_ms > 0) {
        s.calm_ms = std::max(0, s.calm_ms - platform_.timer.interval());
        return;
    }
    if (s.spawn_delay > 0)
        --s.spawn_delay;
    const int last = last_vrag_row();
    for (int i = 0; i <= last; ++i) {
        // One roll per row, also while the delay runs.
        if (percentage() > s.vrag_spawn && s.spawn_delay == 0)
            spawn_vrag(s.vrags[i]);
        if (s.vrags[i].dir != 0)
            fly_vrag(s.vrags[i]);
    }
}

// A monster that has left the display gives its row to a new one; a monster still on
// it keeps the row. The delay restarts either way.
void Game::spawn_vrag(Vrag& v) {
    const double w = sprites.vrag.W();
    const double sw = platform_.display.screen_size().width;
    if (v.x + w < 0 || v.x > sw)
        v.dir = 0;
    if (v.dir == 0) {
        if (percentage() < 50) {
            v.x = -w;
            v.dir = 1;
        } else {
            v.x = sw + double(half(w));
            v.dir = -1;
        }
        const double r = platform_.random.next();
        v.y = wrap<std::int32_t>(cint((s.ground_y - sprites.vrag.H()) * r));
    }
    s.spawn_delay = wrap<std::int32_t>(hundredth(w));
}

// The strip just behind the monster is blacked out, the monster drawn with AND where
// it is, moved, and drawn again with OR.
void Game::fly_vrag(Vrag& v) {
    const Sprite& vrag = sprites.vrag;
    const double d = v.dir;
    const double hw = double(half(vrag.W()));
    const std::int64_t top = std::int64_t{v.y} - half(vrag.H());
    screen.box(single(v.x - hw * d), std::int64_t{v.y} - 100, single(v.x - (hw + 115) * d),
               std::int64_t{v.y} + 200, kBlack);
    screen.picture(vrag.image, single(v.x + hw * d), top, single(-vrag.W() * d), Rop::SrcAnd);
    v.x += kVragSpeed * d;
    screen.picture(vrag.image, single(v.x + hw * d), top, single(-vrag.W() * d), Rop::SrcPaint);
}

// The hit box reaches half the picture ahead of the centre and a third behind it;
// the vertical bounds are strict. The lowest row wins; m is written only on a hit.
bool Game::in_vrag(std::int32_t x1, std::int32_t y1, std::int16_t& m) const {
    const double hw = double(half(sprites.vrag.W()));
    const double tw = double(third(sprites.vrag.W()));
    const std::int64_t hh = half(sprites.vrag.H());
    const int last = last_vrag_row();
    for (int i = 0; i <= last; ++i) {
        const Vrag& v = s.vrags[i];
        if (v.dir == 0)
            continue;
        // The height first: it rules out most monsters with integers alone.
        if (!(v.y - hh < y1 && y1 < v.y + hh))
            continue;
        const double behind = v.dir == 1 ? tw : hw;
        const double ahead = v.dir == 1 ? hw : tw;
        if (v.x - behind <= x1 && x1 <= v.x + ahead) {
            m = static_cast<std::int16_t>(i);
            return true;
        }
    }
    return false;
}

// The black-out covers the picture, the 100 twips it came from and 115 ahead.
void Game::delete_vrag(std::int16_t m) {
    if (m < 0 || m >= kVragRows)
        return;
    Vrag& v = s.vrags[m];
    const double d = v.dir;
    const double hw = double(half(sprites.vrag.W()));
    const std::int64_t hh = half(sprites.vrag.H());
    screen.box(single(v.x - (hw + 100) * d), std::int64_t{v.y} - hh - 15,
               single(v.x + (hw + 115) * d), std::int64_t{v.y} + hh + 15, kBlack);
    v.dir = 0;
    ++happenings_.hits;
    s.score = wrap<std::int32_t>(std::int64_t{s.score} + kVragPoints);
    s.earned = wrap<std::int32_t>(std::int64_t{s.earned} + kVragPoints);
}

}  // namespace grimbolt
