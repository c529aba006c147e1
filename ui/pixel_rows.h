#pragma once
// The loops over one row of pixels that every drawing ends in. Each says which bits
// of the row it changed, so that a drawing that changed nothing is not shown again.

#include <cstdint>

// Callers that run once per row are compiled twice (see GRIMBOLT_ROW_LOOPS), so the
// loops are written here to be compiled into each.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define GRIMBOLT_ROW_LOOPS __attribute__((target_clones("avx2", "default")))
#else
#define GRIMBOLT_ROW_LOOPS
#endif

namespace grimbolt::pixel_rows {

inline constexpr std::uint32_t kOpaque = 0xFF000000u;

inline std::uint32_t paint(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                           std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = dst[i] | src[i];
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

inline std::uint32_t invert(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                            std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] ^ src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

inline std::uint32_t mask(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                          std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

inline std::uint32_t mask_paint(std::uint32_t* __restrict dst, const std::uint32_t* __restrict a,
                                const std::uint32_t* __restrict b, std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & a[i]) | b[i] | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

inline std::uint32_t fill(std::uint32_t* __restrict dst, std::uint32_t value, std::int64_t n) {
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        changed |= dst[i] ^ value;
        dst[i] = value;
    }
    return changed;
}

inline void copy(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                 std::uint32_t value, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i)
        dst[i] = src[i] | value;
}

}  // namespace grimbolt::pixel_rows
