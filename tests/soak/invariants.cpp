#include "soak/invariants.h"

#include <malloc.h>

#include <QPixmapCache>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>

#include "app/script_player.h"
#include "shell/mainfrm.h"
#include "shell/surface_view.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIMBOLT_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GRIMBOLT_ASAN 1
#endif
#ifdef GRIMBOLT_ASAN
// From the sanitizer's runtime; its header does not come with every compiler.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace grimbolt::soak {
namespace {

// Memory may settle into caches at first, but must not grow with the events after.
constexpr std::size_t kAllowedGrowth = 2u << 20;

}  // namespace

void hand_out_shop_points(GameState& s) {
    const std::int64_t needed = 2 * std::int64_t{s.magazine_score};
    if (needed > s.score && needed <= INT32_MAX)
        s.score = std::int32_t(needed);
}

std::size_t allocated_bytes() {
#ifdef GRIMBOLT_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

void Checker::before(const ScriptPlayer& player, const ScriptEvent&) {
    Mainfrm* w = player.window();
    was_running_ = w != nullptr && w->Timer1().enabled();
}

bool Checker::fail(const std::string& why) {
    if (failure_.empty())
        failure_ = why;
    return false;
}

bool Checker::check_state(const GameState& s, int period) {
    if (s.direction != -1 && s.direction != 1)
        return fail("direction " + std::to_string(s.direction));
    if (s.feet_frame > 1 || s.weapon_pose > 1)
        return fail("feet_frame or weapon_pose beyond 1");
    if (s.since_shot > 106)
        return fail("since_shot " + std::to_string(s.since_shot));
    if (s.vrag_count < 10 || s.vrag_count > 50)
        return fail("vrag_count " + std::to_string(s.vrag_count));
    static constexpr int kSpawns[] = {80, 65, 50, 35, 20, 5};
    if (std::find(std::begin(kSpawns), std::end(kSpawns), s.vrag_spawn) == std::end(kSpawns))
        return fail("vrag_spawn " + std::to_string(s.vrag_spawn));
    if (period < 1 || period > 2001)
        return fail("timer period " + std::to_string(period));
    if (s.preg_count < 0 || s.preg_count > kPregCapacity)
        return fail("preg_count " + std::to_string(s.preg_count));
    for (const Pull& p : s.pulls) {
        if (p.dir < -1 || p.dir > 1)
            return fail("bullet direction " + std::to_string(p.dir));
    }
    for (const Vrag& v : s.vrags) {
        if (v.dir < -1 || v.dir > 1)
            return fail("monster direction " + std::to_string(v.dir));
    }
    for (const Vzriv& v : s.vzrivs) {
        if (v.r < 0)
            return fail("explosion radius " + std::to_string(v.r));
    }
    return true;
}

bool Checker::after(const ScriptPlayer& player, const ScriptEvent& e, long long) {
    ++events_;
    Mainfrm* w = player.window();
    if (w == nullptr)
        return true;  // the program has just exited
    Game& game = w->game();
    const bool running = w->Timer1().enabled();
    if (e.command == Command::Tick && was_running_ && !running && game.s.in_magazine == 0)
        dead_ = true;
    if (running)
        dead_ = false;

    Phase phase = Paused;
    if (w->HScroll1()->isVisible())
        phase = Dialog;
    else if (game.s.in_magazine != 0)
        phase = Shop;
    else if (running)
        phase = Running;
    else if (dead_)
        phase = Dead;
    ++in_phase_[phase];

    if (!check_state(game.s, w->Timer1().interval()))
        return false;
    // Every paint event flips the panel, and hiding it asks for the paint that shows it.
    if (e.command == Command::Paint && w->windowHandle() != nullptr &&
        w->windowHandle()->isExposed() && (!game.paramspic.visible || !w->paramspic()->isVisible()))
        return fail("status panel hidden after a paint event");
    return true;
}

void Checker::measure_memory(ScriptPlayer& player, bool final) {
    for (const ScriptEvent& e :
         {ScriptEvent{Command::HelpClose, 0, 0}, ScriptEvent{Command::CreditsClose, 0, 0},
          ScriptEvent{Command::Display, 640, 480}, ScriptEvent{Command::NewGame, 0, 0},
          ScriptEvent{Command::Tick, 20, 0}})
        player.play(e);
    // Two caches hold up to a fixed budget by design: Qt's of drawn controls (10 MB),
    // emptied here, and the game's of pictures made ready for drawing (16 MB), left out
    // of the count.
    QPixmapCache::clear();
    std::size_t held = allocated_bytes();
    if (Mainfrm* w = player.window()) {
        const Game& game = w->game();
        held -= std::min(held, game.screen.stats().prepared_bytes +
                                   game.paramspic.surface.stats().prepared_bytes);
    }
    (final ? final_ : baseline_) = held;
    measured_ |= final;
}

bool Checker::passed() const {
    if (!failure_.empty())
        return false;
    return !measured_ || final_ <= baseline_ + kAllowedGrowth;
}

void Checker::report(std::FILE* out) const {
    std::fprintf(
        out, "phases: running %lld, shop %lld, dead %lld, paused %lld, speed dialog %lld\n",
        in_phase_[Running], in_phase_[Shop], in_phase_[Dead], in_phase_[Paused], in_phase_[Dialog]);
    if (measured_) {
        std::fprintf(out,
                     "memory in use: %.1f MB after a tenth of the events, %.1f MB at the end\n",
                     double(baseline_) / 1e6, double(final_) / 1e6);
        if (final_ > baseline_ + kAllowedGrowth)
            std::fprintf(out, "FAILED: memory grew by %.1f MB\n", double(final_ - baseline_) / 1e6);
    }
    if (!failure_.empty())
        std::fprintf(out, "FAILED: %s\n", failure_.c_str());
}

}  // namespace grimbolt::soak
