#include "replay/recorder.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>

#include "core/game.h"

namespace grimbolt {
namespace {

// The rules never look at the picture: one beyond the largest a script holds is
// recorded at that size, which changes only what a watcher sees of it.
ScriptEvent picture_of(std::int32_t width, std::int32_t height) {
    return {Command::Picture, std::min(width, kScriptMaxWidth), std::min(height, kScriptMaxHeight)};
}

}  // namespace

Recorder::Recorder(Game& game, GameClock& clock) : game_(game), clock_(clock) {}

void Recorder::begin() {
    // The window has loaded the first game already, from the clock's own start.
    recording_ = Recording{};
    recording_.header.recording = 2;
    recording_.header.rules = kRulesVersion;
    recording_.header.has_seed = true;
    recording_.header.seed = std::int32_t(clock_.start_seconds);
    for (ScriptEvent* last : {&display_, &window_, &picture_, &period_, &safe_start_, &fair_start_})
        last->a = -1;
    start_game();
    deaths_ = game_.happenings().deaths;
    sync();  // the sizes the game was loaded with
    add(ScriptEvent{Command::Load, 0, 0});
}

void Recorder::start_game() {
    ++games_;
    // Two games never share a name, not even two programs of one process number that
    // start in one second (a sandbox, an hour that repeats).
    recording_.name = now().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                      QStringLiteral("-%1-%2-%3")
                          .arg(QCoreApplication::applicationPid())
                          .arg(games_)
                          .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    ticks_ = 0;
    offered_ticks_ = -1;
    started_ = true;
}

bool Recorder::before(const ScriptEvent& e) {
    if (paused_ || !started_)
        return true;
    if (e.command == Command::NewGame) {
        end_game();
        start_game();
        // Each game's clock starts at the second of the day it began.
        const std::int32_t second = now().time().msecsSinceStartOfDay() / 1000;
        clock_.restart(second);
        sync();
        add(ScriptEvent{Command::Clock, second, 0});
        add(e);
        return true;
    }
    ScriptEvent event = e;
    if (e.command == Command::Resize) {
        picture_ = picture_of(e.a, e.b);
        event.a = picture_.a;
        event.b = picture_.b;
    }
    sync();
    if (e.command == Command::Tick)
        ++ticks_;
    add(event);
    return true;
}

void Recorder::after(const ScriptEvent&) {
    if (paused_ || !started_ || game_.happenings().deaths == deaths_)
        return;
    deaths_ = game_.happenings().deaths;
    end_game();
}

void Recorder::showing_other(bool other) {
    if (other && !paused_ && started_)
        end_game();
    paused_ = other;
}

void Recorder::finish() {
    if (!paused_ && started_)
        end_game();
    started_ = false;
}

// A game that never ticked is no game; one offered already is offered again only when
// it went on after that.
void Recorder::end_game() {
    if (ticks_ == 0 || ticks_ == offered_ticks_ || !ended)
        return;
    offered_ticks_ = ticks_;
    ended(current());
}

Recording Recorder::current() const {
    Recording r = recording_;
    r.header.score = game_.s.score;
    r.header.has_earned = true;
    r.header.earned = game_.s.earned;
    r.header.ticks = ticks_;
    r.header.seconds = std::int32_t(clock_.elapsed_ms / 1000);
    r.header.date = now().toString(Qt::ISODate).toStdString();
    return r;
}

void Recorder::sync() {
    const Platform& p = game_.platform();
    const Size screen = p.display.screen_size();
    const Size window = p.display.window_size();
    const ScriptEvent now[] = {
        {Command::Display, screen.width / kTwipsPerPixel, screen.height / kTwipsPerPixel},
        {Command::Window, window.width / kTwipsPerPixel, window.height / kTwipsPerPixel},
        picture_of(game_.screen.width_px(), game_.screen.height_px()),
        {Command::Period, p.timer.interval(), 0},
        {Command::SafeStart, game_.comforts.safe_start ? 1 : 0, 0},
        {Command::FairStart, game_.comforts.fair_start ? 1 : 0, 0}};
    ScriptEvent* last[] = {&display_, &window_, &picture_, &period_, &safe_start_, &fair_start_};
    for (int i = 0; i < 6; ++i) {
        if (now[i] != *last[i]) {
            *last[i] = now[i];
            add(now[i]);
        }
    }
}

void Recorder::add(const ScriptEvent& e) {
    std::vector<ScriptEvent>& events = recording_.events;
    if (e.command == Command::Tick && !events.empty() && events.back().command == Command::Tick &&
        events.back().a < kScriptMaxTicks) {
        ++events.back().a;
        return;
    }
    events.push_back(e);
}

}  // namespace grimbolt
