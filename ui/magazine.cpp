// The shop. It comes with the combat rules, when points can be won; until then the
// threshold passes without a shop and its keys do nothing.

#include "core/game.h"

namespace grimbolt {

void Game::magazine() {}

void Game::magazine_key(std::int16_t) {}

}  // namespace grimbolt
