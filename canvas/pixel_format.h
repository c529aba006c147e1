#pragma once
// The canvas's pixels: 32-bit RGB with the top byte set; and the nearest-pixel rule by
// which a picture drawn at another size takes its source pixels.

#include <QImage>
#include <cstdint>

namespace grimbolt {

inline constexpr std::uint32_t kOpaque = 0xFF000000u;

// The picture as 32-bit RGB: itself where it already is.
inline QImage rgb32(const QImage& picture) {
    const bool ready =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    return ready ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

// The source column (or row) of pixel i of a picture of `source` pixels drawn over
// `drawn` pixels: the one whose middle is nearest.
constexpr std::int64_t nearest_source(std::int64_t i, std::int64_t source, std::int64_t drawn) {
    return ((2 * i + 1) * source) / (2 * drawn);
}

}  // namespace grimbolt
