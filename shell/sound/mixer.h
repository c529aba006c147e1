#pragma once
// A mixer of a few voices for the game's sounds. Each sound is at most a quarter of full
// scale and at most four play at once, so their sum never clips. A new sound takes a
// free voice, or the voice of the oldest sound that does not loop.

#include <array>
#include <cstdint>
#include <vector>

#include "shell/sound/sounds.h"

namespace grimbolt {

class Mixer {
  public:
    explicit Mixer(const Sounds& sounds) : sounds_(sounds) {}

    // Starts a sound; `now_ns` is when it was asked for, to measure the latency.
    void play(Sound sound, std::int64_t now_ns);
    // Starts a looping sound, or stops it.
    void loop(Sound sound, bool on, std::int64_t now_ns);
    void stop_all();
    bool silent() const;

    // The next `frames` samples, signed 16-bit mono; `now_ns` is when the device asked.
    void mix(std::int16_t* out, int frames, std::int64_t now_ns);

    // The longest time from asking for a sound to its first sample being mixed.
    std::int64_t worst_latency_ns() const { return worst_latency_ns_; }
    std::int64_t last_latency_ns() const { return last_latency_ns_; }
    // How many sounds have started playing.
    std::uint64_t started() const { return started_; }

  private:
    struct Voice {
        const std::vector<float>* samples = nullptr;
        Sound sound = Sound::Shot;
        std::size_t at = 0;
        bool looping = false;
        bool heard = false;       // its first sample has been mixed
        std::int64_t asked = 0;   // when it was asked for
        std::uint64_t order = 0;  // which came first
    };
    Voice* free_voice();

    const Sounds& sounds_;
    std::array<Voice, kVoices> voices_{};
    std::uint64_t next_order_ = 0;
    std::int64_t worst_latency_ns_ = 0;
    std::int64_t last_latency_ns_ = 0;
    std::uint64_t started_ = 0;
};

}  // namespace grimbolt
