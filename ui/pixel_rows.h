#pragma once
// The loops over one row of pixels that every drawing ends in. Each says which bits
// of the row it changed, so that a drawing that changed nothing is not shown again.

#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define GRIMBOLT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIMBOLT_ASAN 1
#endif
#endif

// Callers that run once per row are compiled twice (see GRIMBOLT_ROW_LOOPS), so the
// loops are written here to be compiled into each.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(GRIMBOLT_ASAN)
#define GRIMBOLT_ROW_LOOPS __attribute__((target_clones("avx2", "default")))
#else
#define GRIMBOLT_ROW_LOOPS
#endif

#ifdef GRIMBOLT_ASAN
// Under AddressSanitizer each loop checks its whole rows once instead of every pixel:
// the same faults are caught, at a small part of the cost.
extern "C" void* __asan_region_is_poisoned(void* begin, std::size_t size);
extern "C" void __asan_report_store_n(void* address, std::size_t size);
extern "C" void __asan_report_load_n(void* address, std::size_t size);
#define GRIMBOLT_ROW_KERNEL __attribute__((no_sanitize("address", "undefined"), noinline)) inline
#else
#define GRIMBOLT_ROW_KERNEL inline
#endif

namespace grimbolt::pixel_rows {

inline constexpr std::uint32_t kOpaque = 0xFF000000u;

// The row a loop writes, and the rows it reads.
inline void check_writes(const std::uint32_t* row, std::int64_t n) {
#ifdef GRIMBOLT_ASAN
    auto* p = const_cast<std::uint32_t*>(row);
    if (n > 0) {
        if (void* bad = __asan_region_is_poisoned(p, std::size_t(n) * 4))
            __asan_report_store_n(bad, 4);
    }
#else
    (void)row;
    (void)n;
#endif
}

inline void check_reads(const std::uint32_t* row, std::int64_t n) {
#ifdef GRIMBOLT_ASAN
    auto* p = const_cast<std::uint32_t*>(row);
    if (n > 0) {
        if (void* bad = __asan_region_is_poisoned(p, std::size_t(n) * 4))
            __asan_report_load_n(bad, 4);
    }
#else
    (void)row;
    (void)n;
#endif
}

GRIMBOLT_ROW_KERNEL std::uint32_t paint(std::uint32_t* __restrict dst,
                                        const std::uint32_t* __restrict src, std::int64_t n) {
    check_writes(dst, n);
    check_reads(src, n);
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = dst[i] | src[i];
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_KERNEL std::uint32_t invert(std::uint32_t* __restrict dst,
                                         const std::uint32_t* __restrict src, std::int64_t n) {
    check_writes(dst, n);
    check_reads(src, n);
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] ^ src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_KERNEL std::uint32_t mask(std::uint32_t* __restrict dst,
                                       const std::uint32_t* __restrict src, std::int64_t n) {
    check_writes(dst, n);
    check_reads(src, n);
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & src[i]) | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_KERNEL std::uint32_t mask_paint(std::uint32_t* __restrict dst,
                                             const std::uint32_t* __restrict a,
                                             const std::uint32_t* __restrict b, std::int64_t n) {
    check_writes(dst, n);
    check_reads(a, n);
    check_reads(b, n);
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::uint32_t after = (dst[i] & a[i]) | b[i] | kOpaque;
        changed |= dst[i] ^ after;
        dst[i] = after;
    }
    return changed;
}

GRIMBOLT_ROW_KERNEL std::uint32_t fill(std::uint32_t* __restrict dst, std::uint32_t value,
                                       std::int64_t n) {
    check_writes(dst, n);
    std::uint32_t changed = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        changed |= dst[i] ^ value;
        dst[i] = value;
    }
    return changed;
}

GRIMBOLT_ROW_KERNEL void copy(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src,
                              std::uint32_t value, std::int64_t n) {
    check_writes(dst, n);
    check_reads(src, n);
    for (std::int64_t i = 0; i < n; ++i)
        dst[i] = src[i] | value;
}

}  // namespace grimbolt::pixel_rows
