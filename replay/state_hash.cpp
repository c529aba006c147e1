#include "replay/state_hash.h"

#include <bit>

namespace grimbolt {

void Fnv::add(double value) {
    add(std::bit_cast<std::uint64_t>(value));
}

std::uint64_t state_hash(const GameState& s) {
    Fnv h;
    for (const auto v : {s.score, s.magazine_score, s.price_rate, s.price_blast, s.price_fuel,
                         s.fuel, s.blast_size, s.hero_pos[0], s.hero_pos[1], s.hero_height,
                         s.muzzle_x, s.ground_y, s.spawn_delay})
        h.add(v);
    for (const auto v : {s.in_magazine, s.reload_time, s.direction, s.last_direction, s.hero_dirty,
                         s.preg_count, s.vrag_count, s.redraw_request})
        h.add(v);
    for (const auto v : {s.walking, s.flying, s.on_ground, s.feet_frame, s.weapon_pose,
                         s.since_shot, s.reload_counter, s.vrag_spawn})
        h.add(v);
    for (const Preg& p : s.pregs) {
        h.add(p.x);
        h.add(p.y);
    }
    for (const Pull& p : s.pulls) {
        h.add(p.x);
        h.add(p.y);
        h.add(p.dir);
    }
    for (const Vzriv& v : s.vzrivs) {
        h.add(v.x);
        h.add(v.y);
        h.add(v.r);
    }
    for (const Vrag& v : s.vrags) {
        h.add(v.x);
        h.add(v.y);
        h.add(v.dir);
    }
    return h.value();
}

}  // namespace grimbolt
