#pragma once
// The real window at a short tick period: how many ticks a second it keeps, and how
// much of the picture it copies to the window per tick.

namespace grimbolt::bench {

struct DeliveredRate {
    double ticks_per_second = 0;
    double frame_share_per_tick = 0;  // window pixels painted per tick / pixels of a frame
    double cpu_us_per_tick = 0;       // the process's CPU time, all threads
};

// Runs the main window's event loop for the given time with a typical, living load:
// monsters keep coming in the upper sky, and bullets and an explosion are topped up.
// `recorded`: the game is recorded, as in the enhanced edition.
DeliveredRate measure_delivered_rate(int period_ms, int duration_ms, bool helper = true,
                                     bool recorded = false);

}  // namespace grimbolt::bench
