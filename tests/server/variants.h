#pragma once
// Other real games for the server's tests and benchmark: the recorded game stopped
// earlier, its header then telling what the rules gave. Each proves, and each is
// another play.

#include <string>

namespace grimbolt::server {

// The n-th other game (n from 0, fewer than the game's events), or "" when it does not
// prove.
std::string other_game(const std::string& recorded, int n);

}  // namespace grimbolt::server
