#include "core/system_platform.h"

#include <QTime>

namespace grimbolt {

void SystemRandom::reseed(std::int32_t seed) {
    engine_.seed(static_cast<std::uint64_t>(seed));
}

double SystemRandom::next() {
    // 53 random bits: every value is exactly representable and strictly below 1.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

std::int32_t SystemClock::seconds_since_midnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

}  // namespace grimbolt
