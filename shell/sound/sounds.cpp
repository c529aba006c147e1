#include "shell/sound/sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace grimbolt {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// A repeatable noise, the same on every machine.
class Noise {
  public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return double(state_ >> 8) / double(1u << 23) - 1.0;
    }

  private:
    std::uint32_t state_ = 12345;
};

std::vector<float> blank(double seconds) {
    return std::vector<float>(std::size_t(seconds * kSampleRate), 0.0f);
}

// Brings a sound's loudest sample to `peak`.
void level(std::vector<float>& v, float peak) {
    float most = 0;
    for (const float x : v)
        most = std::max(most, std::abs(x));
    if (most > 0)
        for (float& x : v)
            x *= peak / most;
}

// A tone sliding from one pitch to another with a falling envelope; `square` mixes in
// a harder edge.
std::vector<float> sweep(double seconds, double from_hz, double to_hz, double decay,
                         double square) {
    std::vector<float> v = blank(seconds);
    double phase = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kSampleRate;
        const double f = from_hz + (to_hz - from_hz) * t / seconds;
        phase += kTwoPi * f / kSampleRate;
        const double sine = std::sin(phase);
        const double tone = (1 - square) * sine + square * (sine >= 0 ? 1 : -1);
        v[i] = float(tone * std::exp(-decay * t));
    }
    return v;
}

// Notes one after another, each with a short fall.
std::vector<float> notes(std::initializer_list<double> pitches, double each) {
    std::vector<float> v;
    for (const double hz : pitches) {
        const std::vector<float> note = sweep(each, hz, hz, 8.0, 0.2);
        v.insert(v.end(), note.begin(), note.end());
    }
    return v;
}

std::vector<float> explosion() {
    std::vector<float> v = blank(0.45);
    Noise noise;
    double low = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kSampleRate;
        low += 0.08 * (noise.next() - low);  // a dull rumble: the noise smoothed
        v[i] = float(low * std::exp(-7.0 * t));
    }
    return v;
}

// Half a second that loops without a seam: noise, and a hum of 60 Hz, 30 whole waves.
std::vector<float> jet() {
    std::vector<float> v = blank(0.5);
    Noise noise;
    double low = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        low += 0.2 * (noise.next() - low);
        v[i] = float(0.7 * low + 0.3 * std::sin(kTwoPi * 60.0 * double(i) / kSampleRate));
    }
    return v;
}

std::vector<float> death() {
    std::vector<float> v = sweep(1.2, 440, 90, 1.5, 0.5);
    Noise noise;
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = float(0.8 * v[i] + 0.2 * noise.next() * std::exp(-2.0 * double(i) / kSampleRate));
    return v;
}

}  // namespace

Sounds Sounds::make() {
    Sounds s;
    s.samples[std::size_t(Sound::Shot)] = sweep(0.09, 1200, 300, 30.0, 0.6);
    s.samples[std::size_t(Sound::Hit)] = explosion();
    s.samples[std::size_t(Sound::Jet)] = jet();
    s.samples[std::size_t(Sound::Death)] = death();
    s.samples[std::size_t(Sound::Shop)] = notes({660, 880}, 0.15);
    s.samples[std::size_t(Sound::Purchase)] = notes({880, 1109, 1319}, 0.06);
    s.samples[std::size_t(Sound::Refusal)] = sweep(0.22, 150, 140, 4.0, 1.0);
    for (std::vector<float>& v : s.samples)
        level(v, kLoudest);
    return s;
}

}  // namespace grimbolt
