#pragma once
// Other real games for the server's tests and benchmark: after the recorded game, the
// same keys again in a new game on another day, the header then telling what the rules
// gave. Each proves, each is another play, and each costs a proof at least as long as
// the recorded game's.

#include <string>

namespace grimbolt::server {

// The n-th other game (n from 0 to a day's seconds), or "" when it does not prove.
std::string other_game(const std::string& recorded, int n);

// The recording with its header telling what the rules gave, or "" when it does not
// prove.
std::string told(std::string text);

}  // namespace grimbolt::server
