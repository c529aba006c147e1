// The explosions. They come with the combat rules; until then none is ever started.

#include "core/game.h"

namespace grimbolt {

void Game::redraw_vzrivs() {}

}  // namespace grimbolt
