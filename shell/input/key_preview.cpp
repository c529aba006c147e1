#include "shell/input/key_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "shell/input/keymap.h"

namespace grimbolt {

KeyPreview::KeyPreview(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
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

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    if (!first_receiver(watched))
        return false;
    const auto* key_event = static_cast<const QKeyEvent*>(event);
    const std::int16_t code =
        game_key_code(key_event->key(), key_event->modifiers(), key_event->nativeScanCode());
    const std::int16_t shift = shift_mask(key_event->modifiers());
    if (menus_first_ && qobject_cast<const QMenuBar*>(watched) != nullptr) {
        if (type == QEvent::KeyRelease && !key_event->isAutoRepeat())
            emit keyUp(code, shift);
        return false;
    }
    if (type == QEvent::KeyPress) {
        emit keyDown(code, shift);
    } else if (!key_event->isAutoRepeat()) {
        emit keyUp(code, shift);
    }
    // The game's own keys stay with the game; the rest still reach the focused control.
    return is_game_key(code);
}

}  // namespace grimbolt
