#pragma once
// One fuzzer input as a request to the world server's answers: its first line the
// method, its second the target (path and query), its third a forwarded-for address,
// its fourth "token" for a player's own token; the rest its body. The same function
// reads the committed corpus in the server's tests.

#include <cstddef>

namespace grimbolt::server {

// Returns the answer's status.
int fuzz_server(const char* data, std::size_t size);

}  // namespace grimbolt::server
