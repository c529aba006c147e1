#pragma once
// The robot as the layout table places its pictures, facing right, relative to
// (hx, hy); facing left each mirrored picture covers the mirror image about hx.
// Tests draw it on a surface of their own to compare with what the game painted.

#include <QImage>

#include "canvas/surface.h"
#include "core/sprites.h"

namespace grimbolt::testing {

struct HeroPose {
    std::int64_t hx = 0;
    std::int64_t hy = 0;
    int direction = 1;
    int feet_frame = 0;
    int weapon_pose = 1;
    int since_shot = 100;  // as the barrel is drawn
    bool flying = false;
};

inline void draw_expected_hero(Surface& surface, const Sprites& sp, const HeroPose& p,
                               Rop rop = Rop::SrcPaint) {
    const auto plain = [&](const QImage& img, std::int64_t left, std::int64_t top) {
        surface.picture(img, p.hx + left, p.hy + top, rop);
    };
    // left, top and width when facing right.
    const auto facing = [&](const QImage& img, std::int64_t left, std::int64_t top,
                            std::int64_t width) {
        if (p.direction > 0)
            surface.picture(img, p.hx + left, p.hy + top, width, rop);
        else
            surface.picture(img, p.hx - left, p.hy + top, -width, rop);
    };
    plain(sp.Hero_tul.image, -105, -810);
    if (p.feet_frame == 0)
        facing(sp.Hero_feet[0].image, -52, -360, 105);
    else
        facing(sp.Hero_feet[1].image, -127, -360, 255);
    plain(sp.Hero_head.image, -105, -990);
    if (p.weapon_pose == 1) {
        facing(sp.Hero_pushk[1].image, 105, -510, 360);
        facing(sp.Hero_stv[1].image, 285 + p.since_shot, -510, 120);
    } else {
        facing(sp.Hero_pushk[0].image, 105, -810, 105);
        facing(sp.Hero_stv[0].image, 105, -810 - p.since_shot, 75);
    }
    if (p.flying)
        facing(sp.vihlop.image, -202, -360, 195);
}

// The same sizes, painted black: drawn with OR they leave the picture as it was.
inline Sprites black_hero(Sprites sp) {
    const auto black = [](Sprite& s) { s.image.fill(Qt::black); };
    black(sp.Hero_tul);
    black(sp.Hero_head);
    for (Sprite* s : {&sp.Hero_feet[0], &sp.Hero_feet[1], &sp.Hero_pushk[0], &sp.Hero_pushk[1],
                      &sp.Hero_stv[0], &sp.Hero_stv[1], &sp.vihlop})
        black(*s);
    return sp;
}

}  // namespace grimbolt::testing
