#pragma once
// The loops over one row of pixels that every drawing ends in. Each says which bits
// of the row it changed, so that a drawing that changed nothing is not shown again.

#include <cstddef>
#include <cstdint>

#include "canvas/pixel_format.h"

#if defined(__SANITIZE_ADDRESS__)
#define GRIMBOLT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIMBOLT_ASAN 1
#endif
#endif

// Callers that run once per row are compiled three times (see GRIMBOLT_ROW_LOOPS), so
// the loops are written here to be compiled into each. With AVX-512 an AND and an OR
// drawing fused take half an instruction a pixel, a third of what AVX2 takes.
// (Clang cannot clone templates, so a Clang build runs the plain loops.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(GRIMBOLT_ASAN)
#define GRIMBOLT_ROW_LOOPS __attribute__((target_clones("avx512f", "avx2", "default")))
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

// The row a loop writes, and the rows it reads: reported as AddressSanitizer reports
// a single bad access.
enum class Access { Read, Write };

template <Access access>
inline void check_row([[maybe_unused]] const std::uint32_t* row, [[maybe_unused]] std::int64_t n) {
#ifdef GRIMBOLT_ASAN
    if (n <= 0)
        return;
    void* bad = __asan_region_is_poisoned(const_cast<std::uint32_t*>(row), std::size_t(n) * 4);
    if (bad != nullptr && access == Access::Write)
        __asan_report_store_n(bad, 4);
    if (bad != nullptr && access == Access::Read)
        __asan_report_load_n(bad, 4);
#endif
}

inline void check_writes(const std::uint32_t* row, std::int64_t n) {
    check_row<Access::Write>(row, n);
}

inline void check_reads(const std::uint32_t* row, std::int64_t n) {
    check_row<Access::Read>(row, n);
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
