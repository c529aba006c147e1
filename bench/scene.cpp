#include "scene.h"

#include <algorithm>

namespace grimbolt::bench {

void set_scene(Game& game, const Load& load) {
    GameState& s = game.s;
    game.restart_game();
    game.paramspic.visible = true;
    s.magazine_score = 1'000'000'000;  // no shop in the middle of a measurement
    s.vrag_spawn = 100;                // no new monsters: the tables hold the load
    s.blast_size = load.blast_size;

    const double sw = game.platform().display.screen_size().width;
    const std::int32_t ground = s.ground_y;
    s.hero_pos = {std::int32_t(sw / 2), ground};
    s.walking = 1;
    s.direction = 1;
    s.last_direction = 1;
    s.weapon_pose = 1;
    if (load.jet) {
        s.flying = 1;
        s.hero_pos[1] = ground - 3000;
        s.since_shot = 1;
    }

    // Monsters spread over the width, in the band between the explosions and the
    // robot's head, half of them flying each way.
    const std::int32_t top = 4500;
    const std::int32_t bottom = std::max(top, ground - 2200);
    s.vrag_count = std::int16_t(std::max(load.vrags - 1, 0));
    for (int i = 0; i < load.vrags && i < kVragRows; ++i) {
        const double x = (i + 0.5) * sw / load.vrags;
        const std::int32_t y = top + std::int32_t(std::int64_t(bottom - top) * (i % 7) / 6);
        s.vrags[i] = {x, y, std::int16_t(i % 2 == 0 ? 1 : -1)};
    }
    // Bullets at the height of the gun, clear of the monsters.
    for (int i = 0; i < load.pulls && i < kPullRows; ++i) {
        const auto x = std::int32_t((i + 0.5) * sw / load.pulls);
        s.pulls[i] = {x, ground - 700 - (i % 3) * 60, i % 2 == 0 ? 1 : -1};
    }
    // Explosions along the top at every stage of their growth, the last one drawn at
    // the full blast size; a single one is half grown, as it is on average.
    for (int k = 0; k < load.vzrivs && k < kVzrivRows; ++k) {
        const auto x = std::int32_t((k + 0.5) * sw / load.vzrivs);
        const std::int32_t stage = load.vzrivs == 1
                                       ? load.blast_size / 2 / 100 * 100
                                       : load.blast_size * (k + 1) / load.vzrivs / 100 * 100;
        s.vzrivs[k] = {x, 2100, std::max(stage - 100, 100)};
    }
}

Scene::Scene(int width_px, int height_px, const Load& load)
    : display(width_px, height_px),
      game(Sprites::load(), Platform{timer, display, sky.random, clock}) {
    game.screen.resize(width_px, height_px);
    set_scene(game, load);
    game.redraw_all();
    start = game.s;
}

}  // namespace grimbolt::bench
