// The robot's bullets. Shots come with the combat rules; until then Shift does nothing
// and there is never a bullet in flight.

#include "core/game.h"

namespace grimbolt {

void Game::fire() {}

void Game::redraw_pulls() {}

}  // namespace grimbolt
