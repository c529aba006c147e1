// The explosions: a fireball that grows 100 twips of radius a step, destroys every
// monster whose centre it reaches, and ends once it is larger than blast_size.

#include <cmath>

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {
namespace {

constexpr std::int32_t kVzrivStart = 100;
constexpr std::int32_t kVzrivGrowth = 100;
// The erasing disc reaches a little past the picture's edge.
constexpr double kEraseMargin = 15;

}  // namespace

// All 21 rows busy: the explosion is dropped.
void Game::add_vzriv(std::int32_t x1, std::int32_t y1) {
    for (Vzriv& vzriv : s.vzrivs) {
        if (vzriv.r == 0) {
            vzriv = {x1, y1, kVzrivStart};
            return;
        }
    }
}

void Game::redraw_vzrivs() {
    for (Vzriv& vzriv : s.vzrivs) {
        if (vzriv.r <= 0)
            continue;
        erase_vzriv(vzriv);
        vzriv.r = wrap<std::int32_t>(std::int64_t{vzriv.r} + kVzrivGrowth);
        blast_vrags(vzriv);
        const std::int64_t r = vzriv.r;
        screen.picture(sprites.vzriv.image, single(double(vzriv.x) - r),
                       single(double(vzriv.y) - r), single(2.0 * r), single(2.0 * r),
                       Rop::SrcPaint);
        if (vzriv.r > s.blast_size) {
            erase_vzriv(vzriv);
            vzriv.r = 0;
        }
    }
}

// A solid black disc over the last picture. The fill settings stay set afterwards.
void Game::erase_vzriv(const Vzriv& vzriv) {
    screen.set_fill(kBlack, FillStyle::Solid);
    screen.circle(single(vzriv.x), single(vzriv.y), single(vzriv.r + kEraseMargin));
}

// Every live monster whose centre is within the radius, edge included. The picture is
// square and the reach round, so monsters in its corners live on.
void Game::blast_vrags(const Vzriv& vzriv) {
    const int last = last_vrag_row();
    for (int j = 0; j <= last; ++j) {
        const Vrag& v = s.vrags[j];
        if (v.dir == 0)
            continue;
        const double dx = static_cast<float>(v.x - vzriv.x);
        const double dy = static_cast<float>(double(v.y) - vzriv.y);
        // Farther than the radius along either axis is farther in all: no root needed.
        if (std::abs(dx) > vzriv.r || std::abs(dy) > vzriv.r)
            continue;
        if (std::sqrt(dx * dx + dy * dy) <= vzriv.r)
            delete_vrag(static_cast<std::int16_t>(j));
    }
}

}  // namespace grimbolt
