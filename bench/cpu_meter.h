#pragma once
// What the idle benchmarks share: the process's CPU time, and waiting with the event
// loop running.

#include <sys/resource.h>

#include <QEventLoop>
#include <QTimer>

namespace grimbolt::bench {

inline double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline void wait_ms(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace grimbolt::bench
