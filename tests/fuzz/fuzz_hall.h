#pragma once
// One fuzzer input read as what the hall reads: a recording's header and events, proven
// when it is short enough, and the hall's index. The same function reads the committed
// corpus in the unit tests.

#include <cstddef>

namespace grimbolt {

// Returns what it found: 1 for a recording that played, 0 otherwise.
int fuzz_hall(const char* data, std::size_t size);

}  // namespace grimbolt
