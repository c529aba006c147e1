#include "shell/sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace grimbolt {
namespace {

// Full scale as the voices share it: four voices of a quarter each sum to at most this.
constexpr float kFullScale = float(kVoices * (32767 / kVoices));

}  // namespace

Mixer::Voice* Mixer::free_voice() {
    Voice* oldest = nullptr;
    for (Voice& v : voices_) {
        if (v.samples == nullptr)
            return &v;
        if (!v.looping && (oldest == nullptr || v.order < oldest->order))
            oldest = &v;
    }
    return oldest;
}

void Mixer::play(Sound sound, std::int64_t now_ns) {
    Voice* v = free_voice();
    if (v == nullptr)
        return;
    *v = Voice{&sounds_[sound], sound, 0, false, false, now_ns, next_order_++};
}

void Mixer::loop(Sound sound, bool on, std::int64_t now_ns) {
    for (Voice& v : voices_) {
        if (v.samples != nullptr && v.looping && v.sound == sound) {
            if (!on)
                v = Voice{};
            return;
        }
    }
    if (!on)
        return;
    if (Voice* v = free_voice())
        *v = Voice{&sounds_[sound], sound, 0, true, false, now_ns, next_order_++};
}

void Mixer::stop_all() {
    voices_.fill(Voice{});
}

bool Mixer::silent() const {
    return std::all_of(voices_.begin(), voices_.end(),
                       [](const Voice& v) { return v.samples == nullptr; });
}

void Mixer::mix(std::int16_t* out, int frames, std::int64_t now_ns) {
    std::fill(out, out + frames, std::int16_t{0});
    if (silent())
        return;
    for (Voice& v : voices_) {
        if (v.samples == nullptr)
            continue;
        if (!v.heard) {
            v.heard = true;
            ++started_;
            last_latency_ns_ = now_ns - v.asked;
            worst_latency_ns_ = std::max(worst_latency_ns_, last_latency_ns_);
        }
        const std::vector<float>& s = *v.samples;
        for (int i = 0; i < frames; ++i) {
            if (v.at == s.size()) {
                if (!v.looping) {
                    v = Voice{};
                    break;
                }
                v.at = 0;
            }
            // Each voice at most a quarter of full scale: four never pass it.
            out[i] = std::int16_t(out[i] + std::lround(s[v.at++] * kFullScale));
        }
    }
}

}  // namespace grimbolt
