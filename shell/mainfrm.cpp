#include "shell/mainfrm.h"

#include <QApplication>
#include <QMenuBar>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>

#include "core/keys.h"
#include "shell/input/key_bindings.h"
#include "shell/input/key_preview.h"
#include "shell/twips.h"
#include "shell/window_display.h"
#include "shell/window_manager.h"

namespace grimbolt {
namespace {

// Layout of the main window, in twips.
constexpr int kClientLeft = 165;
constexpr int kClientTop = 450;
constexpr int kClientWidth = 6705;
constexpr int kClientHeight = 5010;

}  // namespace

Mainfrm::Mainfrm(Random& random, Clock& clock, QWidget* parent)
    : QMainWindow(parent), display_(std::make_unique<WindowDisplay>(*this)) {
    game_ = std::make_unique<Game>(Sprites::load(), Platform{timer_, *display_, random, clock});
    setWindowTitle(QStringLiteral("Grimbolt"));
    build_menus();
    screen_ = new GameScreen(*game_, this);
    setCentralWidget(screen_);
    display_->set_view(screen_);
    speedpic_ = new SpeedDialog(timer_, screen_);
    screen_->setFocus();
    connect_menus();
    setGeometry(layout_geometry());

    key_preview_ = new KeyPreview(this);
    connect(key_preview_, &KeyPreview::keyDown, this, &Mainfrm::key_down);
    connect(key_preview_, &KeyPreview::keyUp, this, &Mainfrm::key_up);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Mainfrm::on_focus_window_changed);
    connect(&timer_.qtimer(), &QTimer::timeout, this, &Mainfrm::tick);
    connect(screen_, &GameScreen::resized, this, &Mainfrm::form_resize);
    connect(screen_, &GameScreen::uncovered, this, &Mainfrm::request_paint);
    qApp->installEventFilter(this);  // to see the program's other windows close

    game_->Form_Load();
    timer_.set_enabled(true);
}

Mainfrm::~Mainfrm() {
    taps_.clear();  // whoever listened may be gone already
}

QRect Mainfrm::layout_geometry() const {
    return QRect(px(kClientLeft), px(kClientTop), px(kClientWidth),
                 px(kClientHeight) + menuBar()->sizeHint().height());
}

void Mainfrm::show_maximized() {
    showMaximized();
    raise();
    activateWindow();
}

void Mainfrm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        // The menus at once; the texts the game draws from their next drawing.
        retranslate();
        game_->texts = Texts::current();
    }
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        follow_window_state(*this, before, layout_geometry());
        // Full screen or back: the game is drawn anew, even where the size stays the same.
        if ((before ^ windowState()) & Qt::WindowFullScreen)
            request_paint();
    }
    QMainWindow::changeEvent(event);
}

bool Mainfrm::eventFilter(QObject* watched, QEvent* event) {
    // The program's every event passes here once: this window's expose events, and the
    // other windows of the program going away.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        // The window system wants (part of) the window drawn again: the game's paint event.
        request_paint();
    } else if (event->type() == QEvent::Hide && watched != this && watched->isWidgetType()) {
        // Another window of the program that lay over this one went away: what it
        // covered must be painted again, also where no window system says so.
        const auto* other = static_cast<const QWidget*>(watched);
        if (other->isWindow() && isVisible() &&
            (other->windowType() == Qt::Window || other->windowType() == Qt::Dialog) &&
            other->frameGeometry().intersects(frameGeometry())) {
            request_paint();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Mainfrm::on_focus_window_changed(QWindow* now) {
    const QWindow* before = last_focus_;
    last_focus_ = now;
    if (keyboard_menus_ && before == windowHandle() && now != before)
        release_keys();
    if (now == nullptr || now != windowHandle())
        return;
    // Activation counts on the first show and on coming back from another window of
    // the program; coming back from another program, or from a menu, does not.
    const bool from_own_window = before != nullptr && before != now &&
                                 (before->type() == Qt::Window || before->type() == Qt::Dialog);
    if (!activated_once_ || from_own_window) {
        activated_once_ = true;
        form_activate();
    }
}

void Mainfrm::request_paint() {
    if (paint_pending_)
        return;
    paint_pending_ = true;
    QMetaObject::invokeMethod(this, &Mainfrm::form_paint, Qt::QueuedConnection);
}

bool Mainfrm::enter(const ScriptEvent& event) {
    // Every event passes here, each tick too: the list is walked as it is, and a tap that
    // takes itself away as it hears an event leaves an empty place behind.
    for (std::size_t i = 0; i < taps_.size(); ++i) {
        if (taps_[i] != nullptr && !taps_[i]->before(event))
            return false;
    }
    grimbolt::enter(*game_, event);
    for (std::size_t i = 0; i < taps_.size(); ++i) {
        if (taps_[i] != nullptr)
            taps_[i]->after(event);
    }
    screen_->present();
    emit presented();
    return true;
}

void Mainfrm::add_tap(EventTap& tap) {
    std::erase(taps_, nullptr);
    taps_.insert(taps_.begin(), &tap);
}

void Mainfrm::remove_tap(EventTap& tap) {
    std::replace(taps_.begin(), taps_.end(), &tap, static_cast<EventTap*>(nullptr));
}

void Mainfrm::show_recorded(Game* shown) {
    if (shown != nullptr)
        timer_.set_enabled(false);
    for (EventTap* tap : taps_) {
        if (tap != nullptr)
            tap->showing_other(shown != nullptr);
    }
    for (QAction* a : {Pause, Speed})
        a->setEnabled(shown == nullptr);
    screen_->show_game(shown);
}

void Mainfrm::form_paint() {
    paint_pending_ = false;
    if (enter({Command::Paint, 1, 0}))
        emit formPainted();
}

void Mainfrm::form_resize() {
    screen_->fit();
    if (enter({Command::Resize, game_->screen.width_px(), game_->screen.height_px()}))
        emit formResized();
}

void Mainfrm::form_activate() {
    if (enter({Command::Activate, 0, 0}))
        emit formActivated();
}

void Mainfrm::tick() {
    enter({Command::Tick, 1, 0});
}

void Mainfrm::elapse_period() {
    if (timer_.enabled())
        tick();
}

void Mainfrm::set_display_size(QSize pixels) {
    display_->set_size(pixels);
}

void Mainfrm::key_down(std::int16_t code, std::int16_t shift) {
    if (enter({Command::KeyDown, code, shift}) && code >= 0 && code < std::int16_t(held_.size()))
        held_.set(std::size_t(code));
}

void Mainfrm::key_up(std::int16_t code, std::int16_t shift) {
    if (code >= 0 && code < std::int16_t(held_.size()))
        held_.reset(std::size_t(code));
    enter({Command::KeyUp, code, shift});
}

void Mainfrm::release_keys() {
    for (std::size_t code = 0; code < held_.size() && held_.any(); ++code) {
        if (held_.test(code))
            key_up(std::int16_t(code), 0);
    }
    held_.reset();
}

}  // namespace grimbolt
