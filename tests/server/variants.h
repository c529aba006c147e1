#pragma once
// Other real games for the server's tests and benchmark: the recorded game's keys on
// another day, its header then telling what the rules gave. Each proves, and each is
// another play.

#include <string>

namespace grimbolt::server {

// The n-th other game (n from 0 to a day's seconds), or "" when it does not prove.
std::string other_game(const std::string& recorded, int n);

// The recording with its header telling what the rules gave, or "" when it does not
// prove.
std::string told(std::string text);

}  // namespace grimbolt::server
