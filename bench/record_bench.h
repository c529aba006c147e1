#pragma once

namespace grimbolt::bench {

// The cost of recording a tick, and the speed of proving a recorded game.
void register_recording();

}  // namespace grimbolt::bench
