#include "shell/audio.h"

#include <SDL.h>

#include <chrono>

namespace grimbolt {
namespace {

// 512 samples at 48 kHz: a callback every 10.7 ms.
constexpr int kBufferFrames = 512;

// Holds the device's lock while the window's thread changes the voices.
class Locked {
  public:
    explicit Locked(std::uint32_t device) : device_(device) {
        if (device_ != 0)
            SDL_LockAudioDevice(device_);
    }
    ~Locked() {
        if (device_ != 0)
            SDL_UnlockAudioDevice(device_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    std::uint32_t device_;
};

}  // namespace

std::int64_t steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Audio::Audio() : sounds_(Sounds::make()), mixer_(sounds_) {}

Audio::~Audio() {
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    if (subsystem_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool Audio::start() {
    // Ctrl+C and SIGTERM stay the program's own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Grimbolt");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = &Audio::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        error_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    rate_ = have.freq;
    buffer_frames_ = have.samples;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void Audio::callback(void* self, std::uint8_t* stream, int bytes) {
    auto* audio = static_cast<Audio*>(self);
    audio->mixer_.mix(reinterpret_cast<std::int16_t*>(stream), bytes / 2, steady_ns());
}

void Audio::play(Sound sound) {
    if (device_ == 0)
        return;
    const Locked lock(device_);
    mixer_.play(sound, steady_ns());
}

void Audio::loop(Sound sound, bool on) {
    if (device_ == 0)
        return;
    const Locked lock(device_);
    mixer_.loop(sound, on, steady_ns());
}

void Audio::stop_all() {
    const Locked lock(device_);
    mixer_.stop_all();
}

std::int64_t Audio::worst_latency_ns() const {
    const Locked lock(device_);
    return mixer_.worst_latency_ns();
}

std::uint64_t Audio::started() const {
    const Locked lock(device_);
    return mixer_.started();
}

}  // namespace grimbolt
