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
    else if (ops_cost_ >= kEarlyFrom && helper_on_ && !(early_ && early_->running))
        start_early();
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
           (early_ && early_->running &&
            std::any_of(early_->ops.rbegin(), early_->ops.rend(), overlaps));
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

// Cuts the rows into bands of about equal work, by the widths of the drawings over
// each row. Decided by the drawings alone, so the same list is always cut the same way.
int Surface::plan_bands() {
    const std::int64_t height = image_.height();
    band_rows_.fill(height);
    band_rows_[0] = 0;
    const std::int64_t total = ops_cost_;
    if (!helper_on_ || total < kShareFrom || height < kBands)
        return 1;
    row_cost_.assign(std::size_t(height) + 1, 0);
    for (const DrawOp& op : ops_) {
        if (!op.area.isValid())
            continue;
        const auto from = std::clamp<std::int64_t>(op.area.top(), 0, height);
        const auto to = std::clamp<std::int64_t>(op.area.bottom() + 1, 0, height);
        row_cost_[std::size_t(from)] += op.row_cost();
        row_cost_[std::size_t(to)] -= op.row_cost();
    }
    std::int64_t per_row = 0;
    std::int64_t so_far = 0;
    int band = 1;
    for (std::int64_t y = 0; y < height && band < kBands; ++y) {
        per_row += row_cost_[std::size_t(y)];
        so_far += per_row;
        while (band < kBands && so_far * kBands >= total * band)
            band_rows_[std::size_t(band++)] = y + 1;
    }
    return kBands;
}

// The drawings so far go to the helper, whole, and new ones are written down afresh.
void Surface::start_early() {
    if (!early_) {
        early_ = std::make_unique<EarlyBatch>();
        early_->ops.reserve(kMaxOps);
        early_->result.marks.reserve(kMaxOps);
    }
    EarlyBatch& early = *early_;
    std::swap(ops_, early.ops);
    ops_cost_ = 0;
    early.canvas = Canvas{rows(), stride_px(), image_.width(), image_.height()};
    early.result.touched = 0;
    early.result.marks.clear();
    early.running = true;
    const auto draw = [](void* batch, int) {
        auto& b = *static_cast<EarlyBatch*>(batch);
        for (const DrawOp& op : b.ops)
            draw_rows(op, b.canvas, 0, b.canvas.height, b.result);
    };
    worker().start(1, draw, &early);
}

void Surface::finish_early() {
    if (!early_ || !early_->running)
        return;
    worker_->finish();
    early_->running = false;
    touched_ += early_->result.touched;
    for (const Mark& m : early_->result.marks) {
        dirty_.add(m.rect);
        changes_.touch(m.rect, m.seq);
    }
    early_->ops.clear();
}

void Surface::flush() {
    finish_early();
    if (ops_.empty()) {
        planned_.done();
        return;
    }
    const Canvas canvas{rows(), stride_px(), image_.width(), image_.height()};
    const int bands = plan_bands();
    for (int k = 0; k < bands; ++k) {
        BandResult& band = bands_[std::size_t(k)];
        band.touched = 0;
        band.marks.clear();
        band.marks.reserve(kMaxOps);  // no thread allocates
    }
    auto draw_band = [&](int k) {
        const std::int64_t y0 = band_rows_[std::size_t(k)];
        const std::int64_t y1 = band_rows_[std::size_t(k) + 1];
        if (y0 >= y1)
            return;
        for (const DrawOp& op : ops_)
            draw_rows(op, canvas, y0, y1, bands_[std::size_t(k)]);
    };
    if (bands == 1)
        draw_band(0);
    else
        worker().run(bands, draw_band);
    apply_marks(bands);
    ops_.clear();
    ops_cost_ = 0;
    planned_.done();
}

// Each drawing's changes, put together again from its bands: one rectangle a drawing,
// as if it had been drawn whole.
void Surface::apply_marks(int bands) {
    std::array<std::size_t, kBands> at{};
    for (int k = 0; k < bands; ++k)
        touched_ += bands_[std::size_t(k)].touched;
    for (;;) {
        std::uint64_t seq = UINT64_MAX;
        for (int k = 0; k < bands; ++k) {
            const std::vector<Mark>& marks = bands_[std::size_t(k)].marks;
            if (at[std::size_t(k)] < marks.size())
                seq = std::min(seq, marks[at[std::size_t(k)]].seq);
        }
        if (seq == UINT64_MAX)
            return;
        QRect rect;
        for (int k = 0; k < bands; ++k) {
            const std::vector<Mark>& marks = bands_[std::size_t(k)].marks;
            std::size_t& i = at[std::size_t(k)];
            if (i < marks.size() && marks[i].seq == seq)
                rect = rect.united(marks[i++].rect);
        }
        dirty_.add(rect);
        changes_.touch(rect, seq);
    }
}

}  // namespace grimbolt
