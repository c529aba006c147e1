#pragma once
// A second thread that helps draw. A job is a number of bands, each drawn by a
// function of its number; the calling thread draws bands too and returns when all
// are done, so nothing else ever runs beside the caller. The calling thread never waits
// for a band the helper has not started: it takes it itself. Between jobs the helper
// sleeps after a short spin.

#include <atomic>
#include <cstdint>
#include <thread>

namespace grimbolt {

class BandWorker {
  public:
    BandWorker();
    ~BandWorker();
    BandWorker(const BandWorker&) = delete;
    BandWorker& operator=(const BandWorker&) = delete;

    using Band = void (*)(void*, int);

    // job(k) for every k in 0 .. bands - 1, each band once, on either thread.
    template <class Job>
    void run(int bands, Job& job) {
        start(
            bands, [](void* j, int k) { (*static_cast<Job*>(j))(k); }, &job);
        finish();
    }

    // The same in two steps: the helper starts on the bands, and this thread goes on
    // with other things until it calls finish, which draws what the helper has not
    // taken yet and waits for the rest. The job must live until then.
    void start(int bands, Band band, void* job);
    void finish();

    // A job is likely soon: the helper wakes now and waits for it spinning a little
    // longer (a tenth of a millisecond at most), so that it is up when the job comes.
    void expect_job();

    // A moment's wait in a spinning loop.
    static void pause() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    // Whether every band of the job started is drawn: finish would not wait.
    bool finished() const {
        return done_.load(std::memory_order_acquire) >= bands_;
    }

    // Bands the helper thread drew so far.
    std::uint64_t helped() const {
        return helped_.load(std::memory_order_relaxed);
    }

  private:
    // Takes the next band of job generation gen: its number, or -1 when none is left.
    int claim(std::uint32_t gen, bool from_back);
    void help();

    // Job generation in the high 32 bits; the bands not yet taken, from the low 16 bits
    // (the front) up to the next 16 (the back).
    std::atomic<std::uint64_t> claims_{0};
    std::atomic<int> done_{0};
    std::atomic<std::uint32_t> wake_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> soon_{false};
    std::atomic<std::uint64_t> helped_{0};
    Band band_ = nullptr;
    void* job_ = nullptr;
    int bands_ = 0;
    std::uint32_t gen_ = 0;
    std::thread thread_;
};

}  // namespace grimbolt
