#include "shell/input/key_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWindow>

#include "shell/input/keymap.h"
#include "shell/input/repeat.h"

namespace grimbolt {

KeyPreview::KeyPreview(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, &KeyPreview::repeat_fire);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &KeyPreview::on_focus_window_changed);
}

// Qt offers a key to the focus widget and then to each parent that ignores it; the
// game must see it once, at the first of them.
bool KeyPreview::first_receiver(const QObject* watched) const {
    if (!watched->isWidgetType() || window_ == nullptr)
        return false;
    const auto* widget = static_cast<const QWidget*>(watched);
    if (widget->window() != window_)
        return false;
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() == window_)
        return widget == focus;
    return widget == window_;
}

KeyPreview::Meaning KeyPreview::meaning_of(const QKeyEvent& key) const {
    const std::int16_t classic = game_key_code(key.key(), key.modifiers(), key.nativeScanCode());
    if (bindings_ == nullptr)
        return {classic, shift_mask(key.modifiers()), std::nullopt};
    Meaning m;
    m.action = bindings_->action_of(key.key(), classic, key.nativeScanCode());
    if (m.action)
        m.code = game_code(*m.action);
    // The mask the classic's keys would give: Shift is the fire key, held or not.
    const std::int16_t others = shift_mask(key.modifiers()) & ~1;
    m.shift = std::int16_t(others | (fire_held_ ? 1 : 0));
    return m;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    if (!first_receiver(watched))
        return false;
    const auto* key_event = static_cast<const QKeyEvent*>(event);
    const Meaning m = meaning_of(*key_event);
    const bool release = type == QEvent::KeyRelease && !key_event->isAutoRepeat();
    if (m.code == key::Shift)
        follow_fire(*key_event, m);
    if (menus_first_ && qobject_cast<const QMenuBar*>(watched) != nullptr) {
        if (release && m.code != key::None)
            emit keyUp(m.code, m.shift);
        return false;
    }
    if (m.action && game_code(*m.action) == 0) {
        // A command's key by letter is its menu item's shortcut; by place it is ours.
        if (bindings_->action_of(0, key::None, key_event->nativeScanCode()) != m.action)
            return false;
        if (type == QEvent::KeyPress && !key_event->isAutoRepeat())
            emit command(*m.action);
        return true;
    }
    if (bindings_ != nullptr && m.code == key::None)
        return false;  // a key the player gave no action: not the game's
    if (type == QEvent::KeyPress)
        emit keyDown(m.code, m.shift);
    else if (release)
        emit keyUp(m.code, m.shift);
    // The game's own keys stay with the game; the rest still reach the focused control.
    return is_game_key(m.code);
}

// A held fire key repeats its key-down at the desktop's pace; where the desktop repeats
// it itself, its own repeats do.
void KeyPreview::follow_fire(const QKeyEvent& key, const Meaning& m) {
    const bool same = key.key() == repeat_key_ && key.nativeScanCode() == repeat_scan_;
    if (key.type() == QEvent::KeyPress && key.isAutoRepeat()) {
        repeat_.stop();
    } else if (key.type() == QEvent::KeyPress) {
        repeat_key_ = key.key();
        repeat_scan_ = key.nativeScanCode();
        repeat_shift_ = m.shift;
        repeat_.start(kRepeatDelayMs);
    } else if (!key.isAutoRepeat() && same) {
        repeat_.stop();
    }
    if (!key.isAutoRepeat())
        fire_held_ = key.type() == QEvent::KeyPress;
}

void KeyPreview::repeat_fire() {
    emit keyDown(key::Shift, repeat_shift_);
    repeat_.start(repeat_interval_ms());
}

void KeyPreview::on_focus_window_changed(QWindow* now) {
    // Keys go where the keyboard is: the held key's repeats go with it.
    if (window_ == nullptr || now != window_->windowHandle())
        repeat_.stop();
}

}  // namespace grimbolt
