#include "ui/pixel_rows.h"

// One copy of each loop for processors with AVX2 and one for the rest, picked when the
// program starts.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define GRIMBOLT_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define GRIMBOLT_ROW_LOOP
#endif

namespace grimbolt::pixel_rows {
namespace {
constexpr std::uint32_t kOpaque = 0xFF000000u;
}

GRIMBOLT_ROW_LOOP
std::uint32_t paint(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                    std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = dst[i] | src[i];
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_LOOP
std::uint32_t invert(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                     std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] ^ src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_LOOP
std::uint32_t mask(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                   std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_LOOP
std::uint32_t mask_paint(std::uint32_t* __restrict dst, const std::uint32_t* __restrict a,
                         const std::uint32_t* __restrict b, std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & a[i]) | b[i] | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_LOOP
std::uint32_t fill(std::uint32_t* __restrict dst, std::uint32_t value, std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        changed |= dst[i] ^ value;
        dst[i] = value;
    }
    return changed;
}

GRIMBOLT_ROW_LOOP
void copy(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src, std::uint32_t value,
          std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i)
        dst[i] = src[i] | value;
}

}  // namespace grimbolt::pixel_rows
