// The drawings written down, and doing them: in one go on this thread when there is
// little to draw, or cut into bands of rows of about equal work, shared with the
// helper thread. Each band is drawn whole by one thread, so the pixels are those of
// the drawings done one after another.

#include "ui/surface.h"

#include <algorithm>

namespace grimbolt {
namespace {

// Below about this many pixels a second thread costs more than it saves.
constexpr std::int64_t kShareFrom = 16'384;
// A tick writes down a few hundred drawings; past this many they are done anyway.
constexpr std::size_t kMaxOps = 1024;
// With this many pixels written down, the helper starts on them while the tick goes on.
constexpr std::int64_t kEarlyFrom = 32'768;

std::int64_t cost(const DrawOp& op) {
    return op.area.isValid() ? std::int64_t{op.row_cost()} * op.area.height() : 0;
}

}  // namespace

std::uint64_t Surface::record(const DrawOp& op) {
    if (ops_.capacity() < kMaxOps)
        ops_.reserve(kMaxOps);
    ops_.push_back(op);
    DrawOp& kept = ops_.back();
    kept.seq = changes_.tick();
    planned_.plan(kept.area);
    ops_cost_ += cost(kept);
    const std::uint64_t seq = kept.seq;
    if (ops_.size() >= kMaxOps)
        flush();
    else if (ops_cost_ >= kEarlyFrom && helper_on_ && !(batch_ && batch_->running))
        start_batch(true);
    return seq;
}

// Whether a drawing written down may change a pixel of area.
// The blocks rule most drawings out at once; the rest are looked at newest first, as
// the drawing just before is the likeliest to overlap (a bullet's black box).
bool Surface::recorded_over(const QRect& area) {
    if (!planned_.planned(area))
        return false;
    const auto overlaps = [&](const DrawOp& op) {
        const QRect& r = op.area;
        return r.left() <= area.right() && area.left() <= r.right() && r.top() <= area.bottom() &&
               area.top() <= r.bottom();
    };
    return std::any_of(ops_.rbegin(), ops_.rend(), overlaps) ||
           (batch_ && batch_->running &&
            std::any_of(batch_->ops.rbegin(), batch_->ops.rend(), overlaps));
}

void Surface::release_held() {
    if (pending_.active) {
        pending_.active = false;
        record(picture_op(DrawOp::Kind::And, *pending_.picture, pending_.left, pending_.top,
                          pending_.clip));
    }
    if (disc_.active) {
        disc_.active = false;
        DrawOp op;
        op.kind = DrawOp::Kind::Disc;
        op.disc = disc_;
        op.area = QRect(QPoint(int(std::max<std::int64_t>(disc_.x0 - disc_.rp, 0)), int(disc_.top)),
                        QPoint(int(std::min<std::int64_t>(disc_.x0 + disc_.rp, image_.width() - 1)),
                               int(disc_.bottom)));
        record(op);
    }
}

void Surface::settle() {
    release_held();
    flush();
}

void Surface::settle() const {
    // Only ever called on surfaces that are not themselves const; the picture that is
    // read is the one with everything drawn.
    const_cast<Surface*>(this)->settle();
}

BandWorker& Surface::worker() {
    if (!worker_)
        worker_ = std::make_unique<BandWorker>();
    return *worker_;
}

// The drawings so far go to be done, and new ones are written down afresh. A shared
// batch is started on by the helper at once; this thread joins in at finish_batch.
void Surface::start_batch(bool shared) {
    if (!batch_) {
        batch_ = std::make_unique<DrawBatch>();
        batch_->ops.reserve(kMaxOps);
        for (BandResult& band : batch_->results)
            band.marks.reserve(kMaxOps);  // no thread allocates
    }
    DrawBatch& batch = *batch_;
    std::swap(ops_, batch.ops);
    batch.cost = ops_cost_;
    ops_cost_ = 0;
    batch.canvas = Canvas{rows(), stride_px(), image_.width(), image_.height()};
    batch.plan(shared);
    for (BandResult& band : batch.results) {
        band.touched = 0;
        band.marks.clear();
    }
    batch.running = true;
    if (batch.bands > 1) {
        const auto draw = [](void* b, int k) { static_cast<DrawBatch*>(b)->draw_band(k); };
        worker().start(batch.bands, draw, &batch);
    }
}

void Surface::finish_batch() {
    if (!batch_ || !batch_->running)
        return;
    DrawBatch& batch = *batch_;
    if (batch.bands > 1)
        worker_->finish();
    else
        batch.draw_band(0);
    batch.running = false;
    for (int k = 0; k < batch.bands; ++k)
        touched_ += batch.results[std::size_t(k)].touched;
    batch.for_each_mark([this](const QRect& rect, std::uint64_t seq) {
        dirty_.add(rect);
        changes_.touch(rect, seq);
    });
    batch.ops.clear();
}

void Surface::flush() {
    finish_batch();
    if (!ops_.empty()) {
        start_batch(helper_on_ && ops_cost_ >= kShareFrom);
        finish_batch();
    }
    planned_.done();
}

}  // namespace grimbolt
