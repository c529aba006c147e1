// The drawings written down, and doing them: in one go on this thread when there is
// little to draw; in a busy tick shared by rows with the helper thread, which starts
// on its rows as soon as the list is long enough and follows it as it grows. Each row
// is drawn whole by one thread, so the pixels are those of the drawings done one
// after another.

#include "ui/canvas/engine.h"

#include <algorithm>

namespace grimbolt {
namespace {

// Below about this many pixels a second thread costs more than it saves.
constexpr std::int64_t kShareFrom = 16'384;
// Drawings are handed to the helper when they cover about this many pixels.
constexpr std::int64_t kLot = 8'192;
// The drawings written down that an OR drawing looks through before it is skipped.
constexpr std::size_t kLookBack = 256;
// A tick writes down a few hundred drawings; past this many they are done anyway.
constexpr std::size_t kMaxOps = 1024;

std::int64_t cost(const DrawOp& op) {
    return op.area.isValid() ? std::int64_t{op.row_cost()} * op.area.height() : 0;
}

}  // namespace

std::uint64_t Surface::Engine::record(const DrawOp& op) {
    if (ops_.capacity() < kMaxOps)
        ops_.reserve(kMaxOps);  // the helper reads the list as it grows: it must not move
    ops_.push_back(op);
    DrawOp& kept = ops_.back();
    kept.seq = changes_.tick();
    planned_.plan(kept.area);
    ops_cost_ += cost(kept);
    const std::uint64_t seq = kept.seq;
    const bool shared = stream_ && stream_->running;
    // Handed on in lots: every handing costs the two threads a trip of the cache line.
    if (shared && ops_cost_ - handed_cost_ >= kLot) {
        stream_->published.store(ops_.size(), std::memory_order_release);
        handed_cost_ = ops_cost_;
    }
    if (ops_.size() >= kMaxOps)
        draw_recorded();
    else if (!shared && helper_on_ && ops_cost_ >= kShareFrom)
        start_stream();
    return seq;
}

// Whether a drawing written down may change a pixel of area.
// The blocks rule most drawings out at once; the rest are looked at newest first, as
// the drawing just before is the likeliest to overlap (a bullet's black box). Past the
// newest kLookBack any may: a full redraw writes down thousands of points, and each
// tile after them would otherwise look through all of them.
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

DrawStream& Surface::Engine::stream() {
    if (!stream_) {
        stream_ = std::make_unique<DrawStream>();
        for (BandResult& part : stream_->results)
            part.marks.reserve(kMaxOps);  // no thread allocates
    }
    return *stream_;
}

// The drawings written down so far, on the picture as it is now, with the rows from
// cut down for the helper.
DrawStream& Surface::Engine::stream_from(std::int64_t cut) {
    DrawStream& s = stream();
    s.ops = ops_.data();
    s.canvas = Canvas{rows(), stride_px(), image_.width(), image_.height()};
    s.cut = cut;
    for (BandResult& part : s.results) {
        part.touched = 0;
        part.marks.clear();
    }
    return s;
}

// The helper starts on the rows from the cut down, with the drawings so far, and
// follows the list as it grows.
void Surface::Engine::start_stream() {
    if (cut_ < 0 || cut_ > image_.height())
        cut_ = image_.height() / 2;
    DrawStream& s = stream_from(cut_);
    s.closed.store(false, std::memory_order_relaxed);
    s.drawn.store(0, std::memory_order_relaxed);
    s.published.store(ops_.size(), std::memory_order_relaxed);
    handed_cost_ = ops_cost_;
    s.running = true;
    const auto draw = [](void* stream, int) { static_cast<DrawStream*>(stream)->draw_from_cut(); };
    worker().start(1, draw, &s);
}

// The rows above the cut, then whatever the helper has left. The thread that waited
// gets more rows next time.
void Surface::Engine::finish_stream() {
    DrawStream& s = *stream_;
    s.published.store(ops_.size(), std::memory_order_release);
    s.closed.store(true, std::memory_order_release);
    s.draw_above_cut(ops_.size());
    const bool helper_behind = !worker_->finished();
    worker_->finish();
    s.running = false;
    // The step doubles while the same thread keeps waiting and halves when the other
    // one does: quick to follow a busier part of the picture, steady once balanced.
    const std::int64_t height = s.canvas.height;
    const std::int64_t most = std::max<std::int64_t>(1, height / 16);
    cut_step_ = helper_behind == helper_was_behind_ ? std::min(cut_step_ * 2, most)
                                                    : std::max<std::int64_t>(cut_step_ / 2, 1);
    helper_was_behind_ = helper_behind;
    cut_ = std::clamp<std::int64_t>(cut_ + (helper_behind ? cut_step_ : -cut_step_), 0, height);
}

void Surface::Engine::draw_recorded() {
    if (!ops_.empty()) {
        DrawStream& s = stream();
        if (s.running) {
            finish_stream();
        } else {
            stream_from(image_.height()).draw_above_cut(ops_.size());
        }
        for (const BandResult& part : s.results)
            touched_ += part.touched;
        s.for_each_mark([this](const QRect& rect, std::uint64_t seq) {
            dirty_.add(rect);
            changes_.touch(rect, seq);
        });
    }
    ops_.clear();
    ops_cost_ = 0;
    planned_.done();
}

}  // namespace grimbolt
