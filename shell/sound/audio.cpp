#include "shell/sound/audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace grimbolt {
namespace {

// 512 samples at 48 kHz: a callback every 10.7 ms.
constexpr int kBufferFrames = 512;
// A device quiet this long is closed: an open one costs its thread's wakes all the time.
constexpr int kRestAfterMs = 3000;

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

// Keeps the sound libraries quiet on standard error while they look for a device: ALSA
// writes a score of lines where there is no sound card. The game says what failed in
// one line of its own.
class QuietStderr {
  public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace

std::int64_t steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Audio::Audio() : sounds_(Sounds::make()), mixer_(sounds_) {
    rest_.setTimerType(Qt::PreciseTimer);
    rest_.setInterval(kRestAfterMs / 6);
    QObject::connect(&rest_, &QTimer::timeout, [this] { rest_if_quiet(); });
}

Audio::~Audio() {
    close_device();
    if (subsystem_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool Audio::start() {
    // Ctrl+C and SIGTERM stay the program's own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Grimbolt");
    const QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    subsystem_ = true;
    // The device is tried at once, so that a game without one says so at its start, and
    // closed until the first sound: a new stream runs late for its first second or so,
    // unless it has a sound to play from its first callback on.
    if (!open_device())
        return false;
    close_device();
    return true;
}

bool Audio::open_device() {
    if (device_ != 0)
        return true;
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = &Audio::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    {
        const QuietStderr quiet;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }
    if (device_ == 0) {
        error_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    rate_ = have.freq;
    buffer_frames_ = have.samples;
    ++opened_;
    quiet_since_ns_ = steady_ns();
    SDL_PauseAudioDevice(device_, 0);
    rest_.start();
    return true;
}

void Audio::close_device() {
    rest_.stop();
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    device_ = 0;
}

void Audio::rest_if_quiet() {
    std::int64_t quiet_since = 0;
    {
        const Locked lock(device_);
        if (!mixer_.silent())
            quiet_since_ns_ = steady_ns();
        quiet_since = quiet_since_ns_;
    }
    if (steady_ns() - quiet_since >= std::int64_t{kRestAfterMs} * 1'000'000)
        close_device();
}

void Audio::callback(void* self, std::uint8_t* stream, int bytes) {
    auto* audio = static_cast<Audio*>(self);
    audio->mixer_.mix(reinterpret_cast<std::int16_t*>(stream), bytes / 2, steady_ns());
}

// A sound for a closed device opens it again: the voice is set before the device runs,
// so its first callback already plays it.
void Audio::play(Sound sound) {
    if (!subsystem_)
        return;
    const std::int64_t asked = steady_ns();
    if (device_ == 0) {
        mixer_.play(sound, asked);
        if (!open_device())
            mixer_.stop_all();
        return;
    }
    const Locked lock(device_);
    mixer_.play(sound, asked);
    quiet_since_ns_ = asked;
}

void Audio::loop(Sound sound, bool on) {
    if (!subsystem_ || (device_ == 0 && !on))
        return;
    const std::int64_t asked = steady_ns();
    if (device_ == 0) {
        mixer_.loop(sound, on, asked);
        if (!open_device())
            mixer_.stop_all();
        return;
    }
    const Locked lock(device_);
    mixer_.loop(sound, on, asked);
    quiet_since_ns_ = asked;
}

void Audio::stop_all() {
    const Locked lock(device_);
    mixer_.stop_all();
}

std::int64_t Audio::worst_latency_ns() const {
    const Locked lock(device_);
    return mixer_.worst_latency_ns();
}

std::int64_t Audio::last_latency_ns() const {
    const Locked lock(device_);
    return mixer_.last_latency_ns();
}

std::uint64_t Audio::started() const {
    const Locked lock(device_);
    return mixer_.started();
}

}  // namespace grimbolt
