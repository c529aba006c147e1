#pragma once
// Pictures made ready for drawing: 32-bit, at the size and facing they are drawn
// with, and with the stretch of each row that is not black. A caller draws the same
// few pictures at the same few sizes every frame, so each is made once and kept.

#include <QImage>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "canvas/pixel_format.h"

namespace grimbolt {

struct PreparedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row, opaque
    // Per row: the first pixel that is not black and one past the last (equal when
    // the whole row is black), for the operations that black leaves alone.
    std::vector<std::int32_t> ink_begin;
    std::vector<std::int32_t> ink_end;

    const std::uint32_t* row(int y) const { return pixels.data() + std::size_t(y) * width; }

    // The rows again with kPad pixels either side that change nothing: white for AND,
    // black for OR. An AND and an OR drawing a short step apart then run over the same
    // columns. Made on first use.
    static constexpr int kPad = 16;
    const std::uint32_t* and_row(int y) const { return padded(and_padded, ~0u) + pad_at(y); }
    const std::uint32_t* or_row(int y) const { return padded(or_padded, kOpaque) + pad_at(y); }

  private:
    std::size_t pad_at(int y) const { return std::size_t(y) * (width + 2 * kPad) + kPad; }
    const std::uint32_t* padded(std::vector<std::uint32_t>& rows, std::uint32_t pad) const;
    mutable std::vector<std::uint32_t> and_padded;
    mutable std::vector<std::uint32_t> or_padded;
};

class PictureCache {
  public:
    // The picture drawn at width x height, mirrored or not, each destination pixel taking
    // the source pixel nearest to its centre. Null when it is too large to keep.
    const PreparedPicture* get(const QImage& picture, std::int64_t width, std::int64_t height,
                               bool mirrored);
    // The picture when it is kept already, else null.
    const PreparedPicture* find(const QImage& picture, std::int64_t width, std::int64_t height,
                                bool mirrored);
    // Whether keeping a new picture of this size would put out a kept one.
    bool full_for(std::int64_t width, std::int64_t height) const;
    // What the kept pictures take: at most the cache's budget.
    std::size_t bytes() const { return bytes_; }

  private:
    struct Key {
        qint64 image;
        std::int64_t width;
        std::int64_t height;
        bool mirrored;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Entry {
        PreparedPicture picture;
        std::uint64_t last_use = 0;
    };

    void make_room(std::size_t bytes);

    std::unordered_map<Key, Entry, KeyHash> entries_;
    std::size_t bytes_ = 0;
    std::uint64_t uses_ = 0;
    // The last few pictures asked for, checked before the map.
    static constexpr int kRecent = 4;
    Key recent_key_[kRecent]{};
    const PreparedPicture* recent_[kRecent]{};
    int recent_next_ = 0;
};

}  // namespace grimbolt
