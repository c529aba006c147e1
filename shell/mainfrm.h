#pragma once
// The main window: the game's picture with the status panel and the speed dialog on
// it, the menu bar, the tick timer, and the window events that drive the game.

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <type_traits>

#include "core/game.h"
#include "shell/avtor.h"
#include "shell/helpfrm.h"
#include "shell/qt_timer.h"

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QWindow;

namespace grimbolt {

class Gamepad;
class KeyPreview;
class SurfaceView;

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
    double scale() const;

    // Child controls, by their names in the game.
    SurfaceView* view() const { return view_; }
    SurfaceView* paramspic() const { return paramspic_; }
    QFrame* speedpic() const { return speedpic_; }
    QPushButton* Okbut() const { return okbut_; }
    QScrollBar* HScroll1() const { return hscroll1_; }
    QLabel* Label1() const { return label1_; }

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
    void HScroll1_Change();
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
    // A gamepad's buttons press the keys they stand for, while this window is the active
    // one; its F2 and F3 run the menu commands, as the keys' shortcuts do.
    void use_gamepad(Gamepad& pad);

    // For a replayed script: one period of a held Timer1 has passed (the tick runs if the
    // timer is on); and the display the game is told about (empty: the real one).
    void elapse_period();
    void set_display_size(QSize pixels);

  signals:
    // After the game has handled each window event.
    void formPainted();
    void formActivated();
    void formResized();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    class WindowDisplay;

    void build_menus();
    void connect_menus();
    void build_controls();
    void on_focus_window_changed(QWindow* now);
    void pad_key_down(std::int16_t code, std::int16_t shift);

    // Paint requests that arrive before the paint event runs make one paint event.
    void request_paint();
    void form_paint();
    void form_resize();
    void form_activate();
    void tick();

    // Fits the game's picture to the client area; true when its size or scale changed.
    bool fit_surface();
    // The game's picture at the size the fit chose. It is the game's own and outlives
    // whatever pictures the window system swaps behind the window.
    void size_surface();
    // Every way into the game: one of its procedures (or a few steps around one), then
    // the end of the frame, with what changed shown.
    template <class Procedure, class... Args>
    void run(Procedure procedure, Args... args) {
        if constexpr (std::is_member_function_pointer_v<Procedure>)
            (game_.get()->*procedure)(args...);
        else
            procedure(args...);
        present();
    }
    void present();
    QRect to_view(std::int32_t left, std::int32_t top, std::int32_t width,
                  std::int32_t height) const;

    QtTimer timer_{50};
    std::unique_ptr<WindowDisplay> display_;
    std::unique_ptr<Game> game_;
    SurfaceView* view_ = nullptr;
    SurfaceView* paramspic_ = nullptr;
    QFrame* speedpic_ = nullptr;
    QPushButton* okbut_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
    QLabel* label1_ = nullptr;
    KeyPreview* key_preview_ = nullptr;
    QPointer<QWindow> last_focus_;
    QPointer<Helpfrm> helpfrm_;
    QPointer<Avtor> avtor_;
    bool activated_once_ = false;
    bool paint_pending_ = false;
    QSize display_size_;
    QSize picture_size_;  // the game's picture, in its own pixels
};

}  // namespace grimbolt
