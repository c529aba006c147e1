#pragma once
// Whether to share a frame's drawing with the helper thread, learnt from the frames
// drawn: the helper is only used while it measurably makes frames faster. A busy
// machine that keeps its core, or a helper that wakes too late, turns it off for a
// while; now and then a frame is drawn alone to keep the measure of one thread.

#include <cstdint>

namespace grimbolt {

class SharePolicy {
  public:
    // Frames of less drawing than this are drawn alone: waking the helper costs more.
    static constexpr std::int64_t kShareFrom = 262'144;  // pixels
    static constexpr int kCheckEvery = 32;   // a frame in this many is drawn alone
    static constexpr int kRestAfterLoss = 256;

    bool share(std::int64_t cost) {
        if (cost < kShareFrom)
            return false;
        ++frames_;
        if (alone_ns_per_px_ <= 0 || frames_ % kCheckEvery == 0)
            return false;
        if (rest_ > 0) {
            --rest_;
            return false;
        }
        return true;
    }

    // A frame of this cost took this long, shared or not.
    void drawn(std::int64_t cost, double ns, bool shared) {
        if (cost < kShareFrom || cost <= 0)
            return;
        const double per_px = ns / double(cost);
        if (!shared) {
            alone_ns_per_px_ =
                alone_ns_per_px_ <= 0 ? per_px : 0.75 * alone_ns_per_px_ + 0.25 * per_px;
            return;
        }
        // Not clearly faster than one thread would have been: a loss. Two in a row
        // and the frames are drawn alone for a while.
        if (per_px > 0.9 * alone_ns_per_px_) {
            if (++losses_ >= 2) {
                rest_ = kRestAfterLoss;
                losses_ = 0;
            }
        } else {
            losses_ = 0;
        }
    }

    bool resting() const { return rest_ > 0; }

  private:
    double alone_ns_per_px_ = 0;  // learnt from the frames drawn alone
    std::int64_t frames_ = 0;
    int losses_ = 0;
    int rest_ = 0;
};

}  // namespace grimbolt
