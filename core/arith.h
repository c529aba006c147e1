#pragma once
// Whole-number rules of the game: two's complement wrap-around on every store,
// and rounding of real values to the nearest whole twip with halves to even.

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace grimbolt {

// Stores v in T the way the hardware would: modulo 2^bits, never undefined.
template <std::integral T>
constexpr T wrap(std::int64_t v) {
    return static_cast<T>(static_cast<std::make_unsigned_t<T>>(static_cast<std::uint64_t>(v)));
}

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the range of int64 (and NaN) are pinned so no conversion is undefined.
inline std::int64_t cint(double v) {
    if (std::isnan(v))
        return 0;
    constexpr double kLimit = 9.0e18;
    if (v >= kLimit)
        return static_cast<std::int64_t>(kLimit);
    if (v <= -kLimit)
        return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(std::nearbyint(v));
}

// half(p), third(p), hundredth(p): a size taken to whole twips, then divided
// truncating toward zero.
inline std::int64_t half(double size) {
    return cint(size) / 2;
}
inline std::int64_t third(double size) {
    return cint(size) / 3;
}
inline std::int64_t hundredth(double size) {
    return cint(size) / 100;
}

// A position handed to the drawing as a single-precision real, in whole twips (the
// drawing floors it to pixels anyway). Pinned far beyond any display first, so the
// conversion to float is always defined.
inline std::int64_t single(double v) {
    constexpr double kFar = 1e15;
    const double pinned = std::isnan(v) ? 0.0 : std::fmax(-kFar, std::fmin(v, kFar));
    return static_cast<std::int64_t>(std::floor(static_cast<float>(pinned)));
}

}  // namespace grimbolt
