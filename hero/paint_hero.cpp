// The robot, assembled from six pictures around hero_pos every time it is painted.

#include "core/arith.h"
#include "core/game.h"

namespace grimbolt {
namespace {

// Horizontal sums and products are 32-bit integers.
std::int32_t x32(std::int64_t v) {
    return wrap<std::int32_t>(v);
}

}  // namespace

void Game::Paint_Hero(Rop stylepaint) {
    const Sprite& torso = sprites.Hero_tul;
    const Sprite& legs0 = sprites.Hero_feet[0];
    const Sprite& legs = sprites.Hero_feet[s.feet_frame & 1];
    const Sprite& head = sprites.Hero_head;
    const Sprite& gun = sprites.Hero_pushk[s.weapon_pose & 1];
    const Sprite& barrel = sprites.Hero_stv[s.weapon_pose & 1];

    const std::int64_t hx = s.hero_pos[0];
    const double hy = s.hero_pos[1];
    const std::int64_t d = s.direction;
    const std::int64_t wp = s.weapon_pose & 1;
    const std::int64_t half_torso = half(torso.W());

    // The torso always sits on leg picture 0, whichever legs are shown.
    screen.picture(torso.image, x32(hx - half_torso), single(hy - legs0.H() - torso.H()),
                   stylepaint);
    // Mirrored legs keep their middle on hx.
    screen.picture(legs.image, x32(hx - d * half(legs.W())), single(hy - legs.H()),
                   single(double(d) * legs.W()), stylepaint);
    screen.picture(head.image, x32(hx - half(head.W())), single(hy - s.hero_height), stylepaint);

    // Level: the gun's top edge two gun heights above the legs; raised: level with the
    // top of the torso.
    const double gun_top = hy - legs.H() - double(1 - wp) * torso.H() - double(2 * wp) * gun.H();
    screen.picture(gun.image, x32(hx + d * half_torso), single(gun_top),
                   single(double(d) * gun.W()), stylepaint);

    // The recoil moves on at every painting, erasing ones included.
    if (s.since_shot > 0 && s.since_shot < 100)
        s.since_shot = static_cast<std::uint8_t>(s.since_shot + 15);
    const std::int64_t recoil = s.since_shot;

    screen.picture(
        barrel.image, x32(hx + d * (wp * half(gun.W()) + half_torso) + d * (recoil * wp)),
        single(gun_top - double(recoil * (1 - wp))), single(double(d) * barrel.W()), stylepaint);

    // The flame behind the robot, at leg level, centred on the torso's back edge.
    if (s.flying != 0) {
        const Sprite& flame = sprites.vihlop;
        screen.picture(flame.image, x32(hx - d * (half(flame.W()) + half_torso)),
                       single(hy - legs0.H()), single(double(d) * flame.W()), stylepaint);
    }
}

}  // namespace grimbolt
