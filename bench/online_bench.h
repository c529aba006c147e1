#pragma once

namespace grimbolt::bench {

// The cost of a tick while the world's server is being talked to.
void register_online();

}  // namespace grimbolt::bench
