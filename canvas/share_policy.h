#pragma once
// Whether to share a frame's drawing with the helper thread, learnt from the frames
// drawn: the helper is only used while it measurably makes frames faster. A busy
// machine that keeps its core, or a helper that wakes too late, turns it off for a
// while; now and then a large frame is drawn alone to keep the measure of one thread.

#include <algorithm>
#include <cstdint>

namespace grimbolt {

class SharePolicy {
  public:
    // Frames of less drawing than this are drawn alone: waking the helper costs more.
    static constexpr std::int64_t kShareFrom = 262'144;  // pixels
    static constexpr int kCheckEvery = 32;               // a large frame in this many alone
    static constexpr int kRestAfterLoss = 256;           // large frames alone after a loss
    static constexpr int kLongestRest = 1 << 14;

    // At a frame's first drawing: whether it is to be shared if it turns out large,
    // so that the helper can get up while the frame is recorded.
    bool plan() {
        planned_ = last_large_ && alone_ns_per_px_ > 0 && rest_ == 0 &&
                   (large_frames_ + 1) % kCheckEvery != 0;
        return planned_;
    }

    bool share(std::int64_t cost) const { return planned_ && cost >= kShareFrom; }

    // A frame of this cost took this long from its first drawing, shared or not.
    void drawn(std::int64_t cost, double ns, bool shared) {
        last_large_ = cost >= kShareFrom;
        planned_ = false;
        if (!last_large_)
            return;
        ++large_frames_;
        const double per_px = ns / double(cost);
        if (!shared) {
            if (rest_ > 0)
                --rest_;
            alone_ns_per_px_ =
                alone_ns_per_px_ <= 0 ? per_px : 0.75 * alone_ns_per_px_ + 0.25 * per_px;
            return;
        }
        // Shared frames that are not clearly faster, on the average, than one thread
        // would have been: the large frames are drawn alone for a while.
        // A frame that took twice the time of one thread (the helper lost its core in
        // the middle of a band) ends the try at once. Each rest is twice the last, up
        // to about half a minute of play, until sharing wins again.
        shared_ns_per_px_ = shared_seen_ == 0 ? per_px : 0.75 * shared_ns_per_px_ + 0.25 * per_px;
        ++shared_seen_;
        const bool stalled = per_px > 2 * alone_ns_per_px_;
        if (stalled || (shared_seen_ >= 4 && shared_ns_per_px_ > 0.95 * alone_ns_per_px_)) {
            rest_ = next_rest_;
            next_rest_ = std::min(next_rest_ * 2, kLongestRest);
            shared_seen_ = 0;
        } else if (shared_seen_ >= 16) {
            next_rest_ = kRestAfterLoss;  // a clear win: short rests again
        }
    }

  private:
    double alone_ns_per_px_ = 0;   // learnt from the large frames drawn alone
    double shared_ns_per_px_ = 0;  // and from those shared since the last rest
    int shared_seen_ = 0;
    std::int64_t large_frames_ = 0;
    int rest_ = 0;
    int next_rest_ = kRestAfterLoss;
    bool last_large_ = false;
    bool planned_ = false;
};

}  // namespace grimbolt
