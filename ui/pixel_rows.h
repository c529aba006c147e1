#pragma once
// The loops over one row of pixels that every drawing ends in. Each says which bits
// of the row it changed, so that a drawing that changed nothing is not shown again.
// On processors that have them, wider vector instructions are chosen at start-up.

#include <cstdint>

namespace grimbolt::pixel_rows {

std::uint32_t paint(std::uint32_t* dst, const std::uint32_t* src, std::int64_t n);   // OR
std::uint32_t invert(std::uint32_t* dst, const std::uint32_t* src, std::int64_t n);  // XOR
std::uint32_t mask(std::uint32_t* dst, const std::uint32_t* src, std::int64_t n);    // AND
// AND with a, then OR with b, in one pass.
std::uint32_t mask_paint(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                         std::int64_t n);
std::uint32_t fill(std::uint32_t* dst, std::uint32_t value, std::int64_t n);
// The picture's pixels with value OR'ed in, whatever was there: nothing is read.
void copy(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t value, std::int64_t n);

}  // namespace grimbolt::pixel_rows
