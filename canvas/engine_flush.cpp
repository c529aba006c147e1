// The drawings recorded, and doing them at the end of a frame: on this thread alone,
// or, in a busy frame where it pays, shared by bands of rows with the helper thread.
// Each row is drawn whole by one thread, so the pixels are those of the drawings done
// one after another.

#include "canvas/engine.h"

#include <algorithm>
#include <chrono>

namespace grimbolt {
namespace {

// The drawings recorded that an OR drawing looks through before it is skipped.
constexpr std::size_t kLookBack = 256;
// A busy frame records a few hundred drawings; past this many they are done anyway.
constexpr std::size_t kMaxOps = 1024;
// Bands of a shared frame: small enough that neither thread waits long for the
// other's last one.
constexpr int kSharedBands = 16;

std::int64_t cost(const DrawOp& op) {
    return op.area.isValid() ? std::int64_t{op.row_cost()} * op.area.height() : 0;
}

}  // namespace

std::uint64_t Surface::Engine::record(const DrawOp& op) {
    if (ops_.capacity() < kMaxOps)
        ops_.reserve(kMaxOps);
    // The first drawing of a frame: when the policy means to share it (the last frame
    // was large), the helper gets up while the rest of the frame is recorded.
    if (ops_.empty()) {
        frame_start_ = std::chrono::steady_clock::now();
        if (helper_on_ && policy_.plan())
            worker().expect_job();
    }
    ops_.push_back(op);
    DrawOp& kept = ops_.back();
    kept.seq = changes_.tick();
    planned_.plan(kept.area);
    ops_cost_ += cost(kept);
    const std::uint64_t seq = kept.seq;
    if (ops_.size() >= kMaxOps)
        draw_recorded();
    return seq;
}

// Whether a recorded drawing may change a pixel of area.
// The blocks rule most drawings out at once; the rest are looked at newest first, as
// the drawing just before is the likeliest to overlap (a black box erasing the same
// picture). Past the newest kLookBack any may: a frame of thousands of points would
// otherwise make every OR drawing after them look through all of them.
bool Surface::Engine::recorded_over(const QRect& area) {
    if (!planned_.planned(area))
        return false;
    const auto overlaps = [&](const DrawOp& op) {
        const QRect& r = op.area;
        return r.left() <= area.right() && area.left() <= r.right() && r.top() <= area.bottom() &&
               area.top() <= r.bottom();
    };
    const auto newest = ops_.rbegin();
    const auto last = ops_.size() > kLookBack ? newest + kLookBack : ops_.rend();
    return std::any_of(newest, last, overlaps) || last != ops_.rend();
}

DrawOp Surface::Engine::held_and() const {
    return picture_op(DrawOp::Kind::And, *pending_.picture, pending_.left, pending_.top,
                      pending_.clip);
}

// The disc's columns within the picture, on its rows.
QRect Surface::Engine::disc_area(const Disc& d) const {
    return QRect(
        QPoint(int(std::max<std::int64_t>(d.x0 - d.rp, 0)), int(d.top)),
        QPoint(int(std::min<std::int64_t>(d.x0 + d.rp, image_.width() - 1)), int(d.bottom)));
}

DrawOp Surface::Engine::held_disc() const {
    DrawOp op;
    op.kind = DrawOp::Kind::Disc;
    op.disc = disc_;
    op.area = disc_area(disc_);
    return op;
}

void Surface::Engine::release_held() {
    release_text();
    if (pending_.active) {
        pending_.active = false;
        record(held_and());
    }
    if (disc_.active) {
        disc_.active = false;
        record(held_disc());
    }
}

void Surface::Engine::flush() {
    release_held();
    draw_recorded();
}

BandWorker& Surface::Engine::worker() {
    if (!worker_)
        worker_ = std::make_unique<BandWorker>();
    return *worker_;
}

Frame& Surface::Engine::frame() {
    if (!frame_) {
        frame_ = std::make_unique<Frame>();
        for (BandResult& part : frame_->results)
            part.marks.reserve(kMaxOps);  // no thread allocates
    }
    return *frame_;
}

void Surface::Engine::draw_recorded() {
    if (!ops_.empty()) {
        Frame& f = frame();
        f.ops = ops_.data();
        f.count = ops_.size();
        f.canvas = Canvas{rows(), stride_px(), image_.width(), image_.height()};
        const bool shared = helper_on_ && policy_.share(ops_cost_);
        f.split(shared ? kSharedBands : 1);
        for (int k = 0; k < f.bands; ++k) {
            f.results[std::size_t(k)].touched = 0;
            f.results[std::size_t(k)].marks.clear();
        }
        if (shared) {
            auto band = [&f](int k) { f.draw_band(k); };
            worker().run(f.bands, band);
        } else {
            f.draw_band(0);
        }
        // From the frame's first drawing: a helper that spins while the frame is
        // recorded takes its time from the calling thread on a busy machine.
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - frame_start_;
        policy_.drawn(ops_cost_, took.count(), shared);
        for (int k = 0; k < f.bands; ++k)
            touched_ += f.results[std::size_t(k)].touched;
        f.for_each_mark([this](const QRect& rect, std::uint64_t seq) {
            dirty_.add(rect);
            changes_.touch(rect, seq);
        });
    }
    ops_.clear();
    ops_cost_ = 0;
    planned_.done();
}

}  // namespace grimbolt
