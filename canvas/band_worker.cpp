#include "canvas/band_worker.h"

namespace grimbolt {
namespace {

// A frame is shared at its end only: the helper waits a moment (a microsecond
// or two) for another job, then sleeps. A longer spin would only burn the other core.
constexpr int kSpins = 64;
// While a job is expected: about a tenth of a millisecond.
constexpr int kSpinsExpecting = 4000;

constexpr std::uint64_t pack(std::uint32_t gen, int back, int front) {
    return std::uint64_t{gen} << 32 | std::uint64_t(back) << 16 | std::uint64_t(front);
}

}  // namespace

BandWorker::BandWorker() : thread_([this] { help(); }) {}

BandWorker::~BandWorker() {
    stop_.store(true, std::memory_order_release);
    wake_.fetch_add(1, std::memory_order_release);
    wake_.notify_one();
    thread_.join();
}

// The calling thread takes bands from the front, the helper from the back: the same
// rows then tend to stay with the same core from one frame to the next, in its cache.
int BandWorker::claim(std::uint32_t gen, bool from_back) {
    std::uint64_t now = claims_.load(std::memory_order_acquire);
    for (;;) {
        const int back = int(now >> 16 & 0xFFFF);
        const int front = int(now & 0xFFFF);
        if (std::uint32_t(now >> 32) != gen || front >= back)
            return -1;
        const std::uint64_t next = from_back ? now - (std::uint64_t{1} << 16) : now + 1;
        if (claims_.compare_exchange_weak(now, next, std::memory_order_acq_rel,
                                          std::memory_order_acquire))
            return from_back ? back - 1 : front;
    }
}

void BandWorker::start(int bands, Band band, void* job) {
    band_ = band;
    job_ = job;
    bands_ = bands;
    done_.store(0, std::memory_order_relaxed);
    ++gen_;
    claims_.store(pack(gen_, bands, 0), std::memory_order_release);
    wake_.fetch_add(1, std::memory_order_release);
    wake_.notify_one();
}

void BandWorker::expect_job() {
    soon_.store(true, std::memory_order_release);
    wake_.fetch_add(1, std::memory_order_release);
    wake_.notify_one();
}

void BandWorker::finish() {
    for (int k = claim(gen_, false); k >= 0; k = claim(gen_, false)) {
        band_(job_, k);
        done_.fetch_add(1, std::memory_order_release);
    }
    // The helper is finishing its last band.
    for (int spins = 0; done_.load(std::memory_order_acquire) < bands_; ++spins) {
        if (spins < kSpins)
            BandWorker::pause();
        else
            std::this_thread::yield();
    }
}

void BandWorker::help() {
    std::uint32_t seen = wake_.load(std::memory_order_acquire);
    while (!stop_.load(std::memory_order_acquire)) {
        const auto gen = std::uint32_t(claims_.load(std::memory_order_acquire) >> 32);
        for (int k = claim(gen, true); k >= 0; k = claim(gen, true)) {
            band_(job_, k);
            helped_.fetch_add(1, std::memory_order_relaxed);
            done_.fetch_add(1, std::memory_order_release);
        }
        const int spins =
            soon_.exchange(false, std::memory_order_acq_rel) ? kSpinsExpecting : kSpins;
        for (int i = 0; i < spins && wake_.load(std::memory_order_acquire) == seen; ++i)
            BandWorker::pause();
        wake_.wait(seen, std::memory_order_acquire);
        seen = wake_.load(std::memory_order_acquire);
    }
}

}  // namespace grimbolt
