#pragma once
// Playback through SDL's audio: one device, a small buffer, and the game's own mixer,
// run by SDL's audio thread. The window's thread asks for sounds; the device's lock
// keeps the two apart. A device that has been quiet for a few seconds is closed, since
// an open one wakes its thread a hundred times a second, and opened again by the next
// sound, which its first callback then plays.

#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "shell/sound/mixer.h"
#include "shell/sound/sounds.h"

namespace grimbolt {

class Audio {
  public:
    Audio();
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // Opens the default device; false, with the reason in error(), where there is none.
    bool start();
    QString error() const { return error_; }
    // Whether the device is open now, and how often it has been opened.
    bool running() const { return device_ != 0; }
    int opened() const { return opened_; }

    void play(Sound sound);
    void loop(Sound sound, bool on);
    void stop_all();

    // The longest time so far from asking for a sound to its first sample in the
    // device's callback, and how many sounds have started.
    std::int64_t worst_latency_ns() const;
    std::int64_t last_latency_ns() const;
    std::uint64_t started() const;
    // Samples a second and per callback, as the device gave them.
    int rate() const { return rate_; }
    int buffer_frames() const { return buffer_frames_; }

  private:
    static void callback(void* self, std::uint8_t* stream, int bytes);
    bool open_device();
    void close_device();
    void rest_if_quiet();

    Sounds sounds_;
    Mixer mixer_;
    std::uint32_t device_ = 0;
    int rate_ = 0;
    int buffer_frames_ = 0;
    bool subsystem_ = false;
    int opened_ = 0;
    std::int64_t quiet_since_ns_ = 0;  // the last moment a sound was asked for or played
    QTimer rest_;
    QString error_;
};

// The steady clock in nanoseconds, as the mixer measures latency.
std::int64_t steady_ns();

}  // namespace grimbolt
