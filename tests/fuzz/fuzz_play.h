#pragma once
// One fuzzer input played as a script, kept short so that the fuzzer runs many: the
// same function replays the committed corpus in the unit tests.

#include <cstddef>

namespace grimbolt {

// Returns the number of events played.
int fuzz_play(const char* data, std::size_t size);

}  // namespace grimbolt
