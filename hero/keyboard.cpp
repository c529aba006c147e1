// The keys: arrows turn and walk, Z raises or lowers the gun, Shift fires, X runs the
// jet. While the shop is up its keys take every key-down.

#include "core/game.h"
#include "core/keys.h"

namespace grimbolt {

template <class Change>
void Game::repaint_hero(Change change) {
    Paint_Hero(Rop::SrcInvert);
    change();
    Paint_Hero(Rop::SrcPaint);
}

// The modifier mask does not matter: every key acts the same with Shift, Ctrl or Alt.
void Game::Form_KeyDown(std::int16_t key_code, std::int16_t) {
    if (s.in_magazine != 0) {
        magazine_key(key_code);
        return;
    }
    const auto turn = [this](std::int16_t to) {
        repaint_hero([this, to] {
            s.walking = kTrue8;
            s.last_direction = s.direction;
            s.direction = to;
        });
    };
    switch (key_code) {
        case key::Left:
            turn(-1);
            break;
        case key::Right:
            turn(1);
            break;
        case key::Z:
            repaint_hero([this] { s.weapon_pose = (s.weapon_pose + 1) % 2; });
            break;
        case key::Shift:
            fire();
            break;
        case key::X:
            s.flying = kTrue8;
            break;
        default:
            break;
    }
}

// Releasing either arrow stops the robot, even while the other one is held.
void Game::Form_KeyUp(std::int16_t key_code, std::int16_t) {
    switch (key_code) {
        case key::Left:
        case key::Right:
            s.walking = 0;
            break;
        case key::X:
            s.flying = 0;
            break;
        default:
            break;
    }
}

}  // namespace grimbolt
