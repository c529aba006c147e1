#include "shell/mainfrm.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <cmath>

#include "core/keys.h"
#include "shell/gamepad.h"
#include "shell/key_preview.h"
#include "shell/surface_view.h"
#include "shell/window_manager.h"

namespace grimbolt {
namespace {

// Layout of the main window, in twips.
constexpr int kClientLeft = 165;
constexpr int kClientTop = 450;
constexpr int kClientWidth = 6705;
constexpr int kClientHeight = 5010;

int px(std::int64_t twips) {
    return int(to_px(twips));
}

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace

// The display the main window is on, and the window's outer size as the game sees it.
class Mainfrm::WindowDisplay final : public Display {
  public:
    explicit WindowDisplay(const Mainfrm* window) : window_(window) {}

    Size screen_size() const override {
        const QScreen* screen = window_->screen();
        QSize size = screen != nullptr ? screen->size() : QSize(640, 480);
        if (window_->display_size_.isValid())
            size = window_->display_size_;
        return {size.width() * kTwipsPerPixel, size.height() * kTwipsPerPixel};
    }

    Size window_size() const override {
        // Frame, title and menu bar around the picture, plus the picture itself.
        const QSize frame = window_->frameGeometry().size();
        const QSize client = window_->view() != nullptr ? window_->view()->size() : frame;
        const Surface& screen = window_->game_->screen;
        const int width = screen.width_px() + std::max(0, frame.width() - client.width());
        const int height = screen.height_px() + std::max(0, frame.height() - client.height());
        return {width * kTwipsPerPixel, height * kTwipsPerPixel};
    }

  private:
    const Mainfrm* window_;
};

Mainfrm::Mainfrm(Random& random, Clock& clock, QWidget* parent)
    : QMainWindow(parent), display_(std::make_unique<WindowDisplay>(this)) {
    game_ = std::make_unique<Game>(Sprites::load(), Platform{timer_, *display_, random, clock});
    setWindowTitle(QStringLiteral("Grimbolt"));
    build_menus();
    build_controls();
    connect_menus();
    setGeometry(layout_geometry());

    key_preview_ = new KeyPreview(this);
    connect(key_preview_, &KeyPreview::keyDown, this, &Mainfrm::key_down);
    connect(key_preview_, &KeyPreview::keyUp, this, &Mainfrm::key_up);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Mainfrm::on_focus_window_changed);
    connect(&timer_.qtimer(), &QTimer::timeout, this, &Mainfrm::tick);
    qApp->installEventFilter(this);  // to see the program's other windows close

    game_->Form_Load();
    timer_.set_enabled(true);
}

Mainfrm::~Mainfrm() = default;

void Mainfrm::build_controls() {
    view_ = new SurfaceView(&game_->screen, this);
    view_->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(view_);

    paramspic_ = new SurfaceView(&game_->paramspic.surface, view_);
    paramspic_->setObjectName(QStringLiteral("paramspic"));
    paramspic_->hide();

    speedpic_ = new QFrame(view_);
    speedpic_->setObjectName(QStringLiteral("speedpic"));
    speedpic_->setAutoFillBackground(true);
    QPalette palette = speedpic_->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(kDialogGrey));
    speedpic_->setPalette(palette);
    place(speedpic_, 480, 960, 5415, 1455);
    speedpic_->hide();

    okbut_ = new QPushButton(QStringLiteral("Ок"), speedpic_);
    okbut_->setObjectName(QStringLiteral("Okbut"));
    place(okbut_, 240, 960, 4935, 375);
    hscroll1_ = new QScrollBar(Qt::Horizontal, speedpic_);
    hscroll1_->setObjectName(QStringLiteral("HScroll1"));
    hscroll1_->setRange(0, 2000);
    hscroll1_->setValue(0);
    place(hscroll1_, 240, 720, 4935, 135);
    label1_ = new QLabel(QStringLiteral("Выберите скорость"), speedpic_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label1_, 240, 360, 3375, 615);
    label1_->lower();  // a label lies beneath the dialog's other controls

    // Keys belong to the game: no control of the main window takes the focus from it.
    for (QWidget* w : {static_cast<QWidget*>(okbut_), static_cast<QWidget*>(hscroll1_),
                       static_cast<QWidget*>(label1_), static_cast<QWidget*>(speedpic_),
                       static_cast<QWidget*>(paramspic_)}) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    view_->setFocus();
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
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const Qt::WindowStates now = windowState();
        // With no window manager nobody acts on a maximize or full-screen request: the
        // window takes the display's free area or the whole display itself, and goes back
        // to its layout when it is restored. A window manager does all this on its own.
        if (!window_manager_runs()) {
            const Qt::WindowStates large = Qt::WindowMaximized | Qt::WindowFullScreen;
            const QScreen* s = screen();
            if (s != nullptr && (now & large) && (now & large) != (before & large))
                setGeometry(now & Qt::WindowFullScreen ? s->geometry() : s->availableGeometry());
            else if ((before & large) && now == Qt::WindowNoState)
                setGeometry(layout_geometry());
        }
        // Full screen or back: the game is drawn anew, even where the size stays the same.
        if ((before ^ now) & Qt::WindowFullScreen)
            request_paint();
    }
    QMainWindow::changeEvent(event);
}

bool Mainfrm::eventFilter(QObject* watched, QEvent* event) {
    // The program's every event passes here once: this window's expose events, the
    // resizes of its picture, and the other windows of the program going away.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        // The window system wants (part of) the window drawn again: the game's paint event.
        request_paint();
    } else if (watched == view_ && event->type() == QEvent::Resize) {
        form_resize();
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

void Mainfrm::form_paint() {
    paint_pending_ = false;
    run(&Game::Form_Paint);
    emit formPainted();
}

void Mainfrm::form_resize() {
    fit_surface();
    run(&Game::Form_Resize);
    emit formResized();
}

void Mainfrm::form_activate() {
    run(&Game::Form_Activate);
    emit formActivated();
}

void Mainfrm::tick() {
    run(&Game::Timer1_Timer);
}

void Mainfrm::elapse_period() {
    if (timer_.enabled())
        tick();
}

void Mainfrm::set_display_size(QSize pixels) {
    display_size_ = pixels;
}

void Mainfrm::key_down(std::int16_t code, std::int16_t shift) {
    run(&Game::Form_KeyDown, code, shift);
}

void Mainfrm::key_up(std::int16_t code, std::int16_t shift) {
    run(&Game::Form_KeyUp, code, shift);
}

void Mainfrm::use_gamepad(Gamepad& pad) {
    pad.set_context([this] {
        return Gamepad::Context{game_->s.in_magazine != 0, isActiveWindow()};
    });
    connect(&pad, &Gamepad::keyDown, this, &Mainfrm::pad_key_down);
    connect(&pad, &Gamepad::keyUp, this, &Mainfrm::key_up);
}

void Mainfrm::pad_key_down(std::int16_t code, std::int16_t shift) {
    if (code == key::F2)
        New_Game->trigger();
    else if (code == key::F3)
        Pause->trigger();
    else
        key_down(code, shift);
}

double Mainfrm::scale() const {
    return view_->scale();
}

bool Mainfrm::fit_surface() {
    const QSize client = view_->size();
    const GameState& s = game_->s;
    // The tile row and the status panel on it must stay in sight.
    const std::int64_t bottom =
        std::int64_t{s.ground_y} +
        std::max<std::int64_t>(game_->paramspic.height, std::int64_t(game_->sprites.preg.H()));
    const std::int64_t needed = (bottom + kTwipsPerPixel - 1) / kTwipsPerPixel;
    double scale = 1.0;
    QSize picture = client;
    if (client.height() > 0 && needed > client.height()) {
        scale = double(client.height()) / double(needed);
        picture = QSize(int(std::ceil(client.width() / scale)), int(needed));
    }
    const bool changed = scale != view_->scale() || picture != picture_size_;
    view_->set_scale(scale);
    paramspic_->set_scale(scale);
    picture_size_ = picture;
    size_surface();
    view_->update();
    return changed;
}

void Mainfrm::size_surface() {
    Surface& screen = game_->screen;
    if (QSize(screen.width_px(), screen.height_px()) != picture_size_)
        screen.resize(picture_size_.width(), picture_size_.height());
}

QRect Mainfrm::to_view(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) const {
    const double s = scale();
    const auto at = [s](std::int64_t twips) { return int(std::lround(to_px(twips) * s)); };
    return QRect(at(left), at(top), at(width), at(height));
}

void Mainfrm::present() {
    for (const QRect& r : game_->screen.take_dirty())
        view_->update_surface_rect(r);

    const PictureBox& panel = game_->paramspic;
    const QRect where = to_view(panel.left, panel.top, panel.width, panel.height);
    if (paramspic_->geometry() != where)
        paramspic_->setGeometry(where);
    if (!game_->paramspic.surface.take_dirty().empty())
        paramspic_->update();
    if (paramspic_->isHidden() == panel.visible) {
        paramspic_->setVisible(panel.visible);
        // Hiding the panel uncovers the window beneath it, which must be painted again.
        if (!panel.visible)
            request_paint();
    }
}

}  // namespace grimbolt
