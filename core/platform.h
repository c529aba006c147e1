#pragma once
// What the game needs from the window system, behind small interfaces so that tests
// can drive it with a fixed clock, a seeded generator and any display size.

#include <cstdint>

namespace grimbolt {

struct Size {
    std::int32_t width = 0;  // twips
    std::int32_t height = 0;
};

// The periodic timer whose events are the game's ticks.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual bool enabled() const = 0;
    virtual void set_enabled(bool on) = 0;
    virtual int interval() const = 0;  // milliseconds
    virtual void set_interval(int ms) = 0;
};

class Display {
  public:
    virtual ~Display() = default;
    // The whole display the window is on, read anew at every use.
    virtual Size screen_size() const = 0;
    // The main window's outer size, borders, title and menu bar included.
    virtual Size window_size() const = 0;
};

// One generator for the whole program, uniform in [0, 1).
class Random {
  public:
    virtual ~Random() = default;
    virtual void reseed(std::int32_t seed) = 0;
    virtual double next() = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int32_t seconds_since_midnight() const = 0;
    // A period of the tick timer has passed in the game: a clock of the game's own time
    // moves on by it; the real clock has moved on by itself.
    virtual void period_passed(int ms) { (void)ms; }
};

struct Platform {
    Timer& timer;
    Display& display;
    Random& random;
    Clock& clock;
};

}  // namespace grimbolt
