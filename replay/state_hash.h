#pragma once
// A fingerprint of the whole game state, field by field (never the padding between
// them), so that two games can be compared in one number.

#include <cstdint>

#include "core/game_state.h"

namespace grimbolt {

std::uint64_t state_hash(const GameState& s);

// FNV-1a, fed one value at a time.
class Fnv {
  public:
    template <class T>
    void add(T value) {
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            hash_ ^= std::uint64_t((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
            hash_ *= 0x100000001B3ULL;
        }
    }
    void add(double value);
    std::uint64_t value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

}  // namespace grimbolt
