#include "canvas/picture_cache.h"

#include "canvas/pixel_format.h"

#include <algorithm>

namespace grimbolt {
namespace {

// Enough for a picture drawn at every size on its way to four times its own.
constexpr std::size_t kBudgetBytes = std::size_t{16} << 20;
constexpr std::size_t kLargestBytes = std::size_t{4} << 20;

PreparedPicture prepare(const QImage& picture, int w, int h, bool mirrored) {
    const QImage source = rgb32(picture);
    const std::int64_t sw = source.width();
    const std::int64_t sh = source.height();
    PreparedPicture out;
    out.width = w;
    out.height = h;
    out.pixels.resize(std::size_t(w) * std::size_t(h));
    out.ink_begin.resize(std::size_t(h));
    out.ink_end.resize(std::size_t(h));
    std::vector<std::int32_t> columns(static_cast<std::size_t>(w));
    for (std::int64_t i = 0; i < w; ++i) {
        std::int64_t sx = w == sw ? i : nearest_source(i, sw, w);
        columns[std::size_t(i)] = std::int32_t(mirrored ? sw - 1 - sx : sx);
    }
    for (int j = 0; j < h; ++j) {
        const std::int64_t sy = h == sh ? j : nearest_source(j, sh, h);
        const auto* src = reinterpret_cast<const std::uint32_t*>(source.constScanLine(int(sy)));
        std::uint32_t* dst = out.pixels.data() + std::size_t(j) * w;
        int begin = w;
        int end = 0;
        for (int i = 0; i < w; ++i) {
            const std::uint32_t p = src[columns[std::size_t(i)]];
            dst[i] = p | kOpaque;
            if ((p & ~kOpaque) != 0) {
                begin = std::min(begin, i);
                end = i + 1;
            }
        }
        out.ink_begin[std::size_t(j)] = std::min(begin, end);
        out.ink_end[std::size_t(j)] = end;
    }
    return out;
}

}  // namespace

const std::uint32_t* PreparedPicture::padded(std::vector<std::uint32_t>& rows,
                                             std::uint32_t pad) const {
    if (rows.empty()) {
        const std::size_t line = std::size_t(width) + 2 * kPad;
        rows.assign(line * std::size_t(height), pad);
        for (int y = 0; y < height; ++y)
            std::copy_n(row(y), width, rows.data() + std::size_t(y) * line + kPad);
    }
    return rows.data();
}

std::size_t PictureCache::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<qint64>()(k.image);
    h = h * 31 + std::hash<std::int64_t>()(k.width);
    h = h * 31 + std::hash<std::int64_t>()(k.height);
    return h * 2 + (k.mirrored ? 1 : 0);
}

const PreparedPicture* PictureCache::find(const QImage& picture, std::int64_t width,
                                          std::int64_t height, bool mirrored) {
    const Key key{picture.cacheKey(), width, height, mirrored};
    for (int i = 0; i < kRecent; ++i) {
        if (recent_[i] != nullptr && recent_key_[i] == key)
            return recent_[i];
    }
    const auto found = entries_.find(key);
    if (found == entries_.end())
        return nullptr;
    found->second.last_use = ++uses_;
    recent_key_[recent_next_] = key;
    recent_[recent_next_] = &found->second.picture;
    recent_next_ = (recent_next_ + 1) % kRecent;
    return &found->second.picture;
}

bool PictureCache::full_for(std::int64_t width, std::int64_t height) const {
    if (width <= 0 || height <= 0)
        return false;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    return bytes <= kLargestBytes && bytes_ + bytes > kBudgetBytes;
}

const PreparedPicture* PictureCache::get(const QImage& picture, std::int64_t width,
                                         std::int64_t height, bool mirrored) {
    if (const PreparedPicture* kept = find(picture, width, height, mirrored))
        return kept;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (width <= 0 || height <= 0 || bytes > kLargestBytes)
        return nullptr;
    const Key key{picture.cacheKey(), width, height, mirrored};
    make_room(bytes);
    entries_.emplace(key, Entry{prepare(picture, int(width), int(height), mirrored), 0});
    bytes_ += bytes;
    return find(picture, width, height, mirrored);
}

void PictureCache::make_room(std::size_t bytes) {
    while (!entries_.empty() && bytes_ + bytes > kBudgetBytes) {
        auto oldest = std::min_element(entries_.begin(), entries_.end(), [](auto& a, auto& b) {
            return a.second.last_use < b.second.last_use;
        });
        bytes_ -= std::size_t(oldest->second.picture.width) * oldest->second.picture.height * 4;
        for (int i = 0; i < kRecent; ++i) {
            if (recent_[i] == &oldest->second.picture)
                recent_[i] = nullptr;
        }
        entries_.erase(oldest);
    }
}

}  // namespace grimbolt
