// The monsters. They come with the combat rules; until then none flies and no point
// lies on one.

#include "core/game.h"

namespace grimbolt {

void Game::redraw_vrags() {}

bool Game::in_vrag(std::int32_t, std::int32_t, std::int16_t&) const {
    return false;
}

}  // namespace grimbolt
