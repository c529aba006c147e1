#include "app/script_player.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QExposeEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

#include "app/enhanced.h"
#include "replay/road.h"
#include "replay/state_hash.h"
#include "shell/mainfrm.h"

namespace grimbolt {
namespace {

void close_window(QWidget* window) {
    if (window != nullptr)
        window->close();
}

void add_pixels(Fnv& h, Surface& surface) {
    const QImage& image = surface.image();
    h.add(image.width());
    h.add(image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            h.add(row[x] & 0xFFFFFFu);
    }
}

}  // namespace

ScriptPlayer::ScriptPlayer(ReplaySetup options) : options_(options) {
    clock_.restart(options.seed);
    random_.reseed(options.seed);
    start();
}

ScriptPlayer::~ScriptPlayer() {
    if (recorder_ != nullptr)
        recorder_->finish();
    window_.reset();
    settle();
}

void ScriptPlayer::start() {
    window_ = std::make_unique<Mainfrm>(random_, clock_);
    Mainfrm& w = *window_;
    w.Timer1().set_held(true);
    // A replayed game keeps nothing: no settings file, no best score.
    if (options_.enhanced)
        new Enhanced(w, options_.options);
    if (options_.record)
        record();
    w.set_display_size(options_.display);
    if (options_.display.isValid())
        w.resize(options_.display);
    w.show_maximized();
    if (options_.display.isValid())
        w.setGeometry(QRect(QPoint(0, 0), options_.display));
    ++starts_;
    settle();
}

void ScriptPlayer::record() {
    Mainfrm& w = *window_;
    // Every start of the program is seeded anew from the time of day, as the game's is.
    const std::int32_t seed = clock_.seconds_since_midnight();
    clock_.restart(seed);
    random_.reseed(seed);
    recorder_ = std::make_unique<Recorder>(w.game(), clock_);
    recorder_->now = [this] {
        // A fixed day; the time moves on with the game's clock and with each game.
        const QDateTime day(QDate(2026, 1, 1), QTime(0, 0));
        return day.addSecs(options_.seed + clock_.elapsed_ms / 1000 + 37 * starts_ +
                           std::int64_t(recorded_.size()));
    };
    recorder_->ended = [this](const Recording& r) {
        recorded_.push_back({r, grimbolt::state_hash(window_->game().s), window_->game().s});
    };
    w.add_tap(*recorder_);
    recorder_->begin();
}

// Lets the window system deliver everything the last event caused: expose and resize
// events, the paint events they ask for, focus changes and closed windows.
void ScriptPlayer::settle() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (int round = 0; round < 64; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (dispatcher == nullptr || !dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
}

void ScriptPlayer::play(const std::vector<ScriptEvent>& events) {
    for (const ScriptEvent& e : events)
        play(e);
}

void ScriptPlayer::play(const ScriptEvent& e) {
    if (window_ == nullptr)
        start();
    Mainfrm& w = *window_;
    switch (e.command) {
        case Command::Tick:
            tick(e.a);
            break;
        case Command::KeyDown:
            w.key_down(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::KeyUp:
            w.key_up(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::NewGame:
            w.New_Game->trigger();
            break;
        case Command::Pause:
            w.Pause->trigger();
            break;
        case Command::Exit:
            w.Exit->trigger();
            break;
        case Command::Music:
            w.Music->trigger();
            break;
        case Command::Speed:
            w.Speed->trigger();
            break;
        case Command::Slider:
            if (w.HScroll1()->isVisible())
                w.HScroll1()->setValue(e.a);
            break;
        case Command::Ok:
            if (w.Okbut()->isVisible())
                w.Okbut()->click();
            break;
        case Command::Help:
            w.How_to_play->trigger();
            break;
        case Command::HelpClose:
            close_window(w.helpfrm());
            break;
        case Command::Credits:
            w.Author->trigger();
            break;
        case Command::CreditsClose:
            close_window(w.avtor());
            break;
        case Command::Paint:
            for (std::int32_t i = 0; i < e.a; ++i)
                paint();
            break;
        case Command::Resize:
            w.resize(e.a, e.b);
            break;
        case Command::Activate:
            w.activateWindow();
            break;
        case Command::Display:
            options_.display = QSize(e.a, e.b);
            w.set_display_size(options_.display);
            w.resize(options_.display);
            break;
        case Command::Load:  // the window loaded its game as it started, without comforts
            if (w.game().comforts.fair_start)
                w.game().Form_Load();
            break;
        case Command::Window:  // the window system gives the sizes here
        case Command::Picture:
            break;
        case Command::Clock:  // a recorded game's clock; a recorder here keeps its own
            if (recorder_ == nullptr)
                clock_.restart(e.a);
            break;
        default:  // the period and the comforts: set as the program sets them, unrecorded
            enter(w.game(), e);
            break;
    }
    settle();
    if (e.command == Command::Exit) {
        // The program has ended: its windows are closed and gone, its game with them.
        if (recorder_ != nullptr)
            recorder_->finish();
        window_.reset();
        recorder_.reset();
        settle();
    }
}

void ScriptPlayer::tick(std::int32_t count) {
    for (std::int32_t i = 0; i < count && window_ != nullptr; ++i) {
        // The game's clock moves on with each tick the game runs. A script's time passes
        // with the timer stopped too; a recorded run's is the game's own.
        if (recorder_ == nullptr && !window_->Timer1().enabled())
            clock_.period_passed(window_->Timer1().interval());
        window_->elapse_period();
        // Whatever the tick asked for runs before the next one, as in the event loop.
        settle();
    }
}

void ScriptPlayer::paint() {
    QWindow* handle = window_->windowHandle();
    if (handle == nullptr)
        return;
    QExposeEvent expose(QRegion(QRect(QPoint(0, 0), handle->size())));
    QCoreApplication::sendEvent(handle, &expose);
}

std::uint64_t ScriptPlayer::state_hash() const {
    Fnv h;
    if (window_ == nullptr)
        return h.value();
    Game& game = window_->game();
    h.add(grimbolt::state_hash(game.s));
    h.add(window_->Timer1().enabled());
    h.add(window_->Timer1().interval());
    h.add(game.paramspic.visible);
    h.add(game.paramspic.left);
    h.add(game.paramspic.top);
    return h.value();
}

std::uint64_t ScriptPlayer::pixel_hash() const {
    Fnv h;
    if (window_ == nullptr)
        return h.value();
    add_pixels(h, window_->game().screen);
    add_pixels(h, window_->game().paramspic.surface);
    return h.value();
}

}  // namespace grimbolt
