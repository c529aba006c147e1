#pragma once
// The main window: the game screen with the status panel and the speed dialog on it,
// the menu bar, the tick timer, and the window events that drive the game.

#include <QMainWindow>
#include <QPointer>
#include <bitset>
#include <memory>
#include <vector>

#include "core/game.h"
#include "replay/road.h"
#include "shell/avtor.h"
#include "shell/game_screen.h"
#include "shell/helpfrm.h"
#include "shell/qt_timer.h"
#include "shell/speed_dialog.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QWindow;

namespace grimbolt {

class Gamepad;
class KeyPreview;
struct KeyBindings;
class WindowDisplay;

class Mainfrm : public QMainWindow {
    Q_OBJECT
  public:
    Mainfrm(Random& random, Clock& clock, QWidget* parent = nullptr);
    ~Mainfrm() override;

    Game& game() { return *game_; }
    QtTimer& Timer1() { return timer_; }

    // Opens the window maximized on its screen, also where no window manager runs.
    void show_maximized();
    // Where the window lies when it is not maximized: the layout's client area.
    QRect layout_geometry() const;

    // Surface pixels shown per widget pixel: 1, or less when the client area is too short
    // for the tile row and the status panel.
    double scale() const { return screen_->scale(); }

    // Child controls, by their names in the game.
    GameScreen* view() const { return screen_; }
    SurfaceView* paramspic() const { return screen_->paramspic(); }
    SpeedDialog* speedpic() const { return speedpic_; }
    QPushButton* Okbut() const { return speedpic_->Okbut(); }
    QScrollBar* HScroll1() const { return speedpic_->HScroll1(); }
    QLabel* Label1() const { return speedpic_->Label1(); }

    // Menu commands.
    QAction* New_Game = nullptr;
    QAction* Pause = nullptr;
    QAction* Exit = nullptr;
    QAction* Music = nullptr;
    QAction* Speed = nullptr;
    QAction* How_to_play = nullptr;
    QAction* Author = nullptr;
    // F11, outside the menus: full screen with the menu bar, or back to maximized.
    QAction* Full_Screen = nullptr;

    // What the menu commands and the speed dialog's controls run.
    void New_Game_Click();
    void Pause_Click();
    void Exit_Click();
    void Speed_Click();
    void HScroll1_Change() { speedpic_->HScroll1_Change(); }
    void Okbut_Click();
    void How_to_play_Click();
    void Author_Click();
    void Full_Screen_Click();

    // The help and credits windows while they are open, null otherwise.
    Helpfrm* helpfrm() const { return helpfrm_; }
    Avtor* avtor() const { return avtor_; }

    // The game's key events, as the key preview hands them over.
    void key_down(std::int16_t code, std::int16_t shift);
    void key_up(std::int16_t code, std::int16_t shift);
    // Lets go every key the game holds down, as their releases would.
    void release_keys();

    // The enhanced edition's keyboard: the menus open by their underlined letters and by
    // F10, the keys a menu bar takes stay with it, and the keys the game holds are let go
    // whenever a menu opens or the window loses the keyboard, so that none sticks.
    void use_keyboard_menus();
    // Underlines a letter of each menu and item for the keyboard, when that is on.
    void mark_menus();
    // The Music item turns the sounds on and off (the enhanced edition); in the classic it
    // only ever shows its check mark, as the game has no sound.
    void use_music_switch() { music_switch_ = true; }

    // The player's keys (the enhanced edition): the game hears its own keys from them, and
    // the menu commands take theirs; the window keeps a copy of its own.
    void use_key_bindings(const KeyBindings& bindings);
    const KeyBindings* key_bindings() const { return bindings_.get(); }
    // A gamepad's buttons press the keys they stand for, while this window is the active
    // one; its commands run the menu commands, as the keys' shortcuts do.
    void use_gamepad(Gamepad& pad);

    // For a replayed script: one period of a held Timer1 has passed (the tick runs if the
    // timer is on); and the display the game is told about (empty: the real one).
    void elapse_period();
    void set_display_size(QSize pixels);

    // Hears of every event before it reaches the game, and after: the enhanced edition
    // records its games, and a recording played back keeps the player's game still. A
    // tap added later hears each event first, and may stop it there.
    void add_tap(EventTap& tap);
    void remove_tap(EventTap& tap);

    // Shows a recorded game (the hall's "Смотреть") in place of the player's, which stands
    // still meanwhile; null: the player's game again.
    void show_recorded(Game* shown);
    bool showing_recorded() const { return screen_->showing_other(); }

  signals:
    // After each event that ran the game, with what it changed shown.
    void presented();
    // After the game has handled each window event.
    void formPainted();
    void formActivated();
    void formResized();
    // The menus have their captions in the language of now.
    void retranslated();
    // A command the player gave (new game, pause, help, credits, the speed dialog's "Ок")
    // has run: its menu item or button was used, and the window has done its part.
    void commanded(grimbolt::Command command);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void build_menus();
    void connect_menus();
    // The menus' captions in the language chosen; Russian with no translation.
    void retranslate();
    void on_focus_window_changed(QWindow* now);

    // Paint requests that arrive before the paint event runs make one paint event.
    void request_paint();
    void form_paint();
    void form_resize();
    void form_activate();
    void tick();

    // Every way into the game: the event through the taps and the one road, then the
    // end of the frame, with what changed shown; false when a tap stopped it.
    bool enter(const ScriptEvent& event);

    QtTimer timer_{50};
    std::unique_ptr<WindowDisplay> display_;
    std::unique_ptr<Game> game_;
    QMenu* game_menu_ = nullptr;
    QMenu* options_menu_ = nullptr;
    QMenu* help_menu_ = nullptr;
    GameScreen* screen_ = nullptr;
    SpeedDialog* speedpic_ = nullptr;
    KeyPreview* key_preview_ = nullptr;
    QPointer<QWindow> last_focus_;
    QPointer<Helpfrm> helpfrm_;
    QPointer<Avtor> avtor_;
    std::vector<EventTap*> taps_;  // the latest first; null where one was taken away
    std::unique_ptr<KeyBindings> bindings_;
    bool activated_once_ = false;
    bool paint_pending_ = false;
    bool keyboard_menus_ = false;
    bool music_switch_ = false;
    std::bitset<256> held_;  // the key codes the game has seen go down and not up
};

}  // namespace grimbolt
