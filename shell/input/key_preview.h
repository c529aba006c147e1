#pragma once
// Hands every key of one window to the game first, whichever child has the focus,
// as the game's own key codes. Repeats of a held key count as key-downs; the release
// half of an X11 auto-repeat pair is not a release. A held fire key fires again even
// where the desktop repeats no modifier key.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "shell/input/key_bindings.h"

class QKeyEvent;
class QWindow;

namespace grimbolt {

class KeyPreview : public QObject {
    Q_OBJECT
  public:
    explicit KeyPreview(QWidget* window);

    // While the menu bar has the keyboard (after Alt), the keys go down in the menus and
    // not in the game; their releases still reach the game, so that nothing it holds
    // sticks. Off: the game takes its keys whatever has the focus.
    void set_menus_first(bool on) { menus_first_ = on; }
    // The player's keys (the enhanced edition): a bound key reaches the game as its
    // action's classic key, and no other key reaches it. Null: the classic's keys.
    void set_bindings(const KeyBindings* bindings) { bindings_ = bindings; }

  signals:
    void keyDown(std::int16_t code, std::int16_t shift);
    void keyUp(std::int16_t code, std::int16_t shift);
    // A command of the window whose key the player bound by its place on the keyboard.
    void command(Action action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Meaning {
        std::int16_t code = 0;  // the game's key; 0: none
        std::int16_t shift = 0;
        std::optional<Action> action;
    };
    bool first_receiver(const QObject* watched) const;
    Meaning meaning_of(const QKeyEvent& key) const;
    void follow_fire(const QKeyEvent& key, const Meaning& m);
    void repeat_fire();
    void on_focus_window_changed(QWindow* now);

    QPointer<QWidget> window_;
    const KeyBindings* bindings_ = nullptr;
    bool menus_first_ = false;
    bool fire_held_ = false;  // the game's fire key is down (the player's keys only)
    QTimer repeat_;           // the held fire key's repeats
    int repeat_key_ = 0;      // the key held for them, and its place
    quint32 repeat_scan_ = 0;
    std::int16_t repeat_shift_ = 0;
};

}  // namespace grimbolt
