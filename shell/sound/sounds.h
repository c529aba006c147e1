#pragma once
// The game's sounds, made by the program itself at start-up: mono samples at 48 kHz,
// each no louder than a quarter of full scale, so that four at once never clip.

#include <array>
#include <cstddef>
#include <vector>

namespace grimbolt {

enum class Sound { Shot, Hit, Jet, Death, Shop, Purchase, Refusal };
inline constexpr std::size_t kSoundCount = 7;
inline constexpr int kSampleRate = 48000;
inline constexpr int kVoices = 4;
inline constexpr float kLoudest = 1.0f / kVoices;

struct Sounds {
    std::array<std::vector<float>, kSoundCount> samples;

    const std::vector<float>& operator[](Sound s) const { return samples[std::size_t(s)]; }
    // Every sound, synthesized.
    static Sounds make();
};

}  // namespace grimbolt
