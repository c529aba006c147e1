#pragma once
// Game controllers as keys. Each button stands for a key of the game's own: its press
// is that key's key-down and its release the key-up, so the game cannot tell a pad from
// the keyboard. Pads may come and go while the game runs. The classic's buttons (the
// enhanced edition lets the player choose others):
//
//   D-pad or left stick left/right   Left / Right arrow
//   A                                Shift (fire; repeats while held, like the key)
//   B                                X (jet)          in the shop: 3
//   Y                                Z (gun)          in the shop: 2
//   X                                -                in the shop: 1
//   Start                            pause            in the shop: Esc
//   Back                             new game

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "shell/input/device_watch.h"
#include "shell/input/pad_bindings.h"

struct _SDL_GameController;  // SDL's own name for an open controller

namespace grimbolt {

class Gamepad : public QObject {
    Q_OBJECT
  public:
    // What the game is doing when a button goes down: it picks the key.
    struct Context {
        bool in_shop = false;
        bool listening = true;  // false while the game's window is not the active one
    };

    explicit Gamepad(QObject* parent = nullptr);
    ~Gamepad() override;

    // Starts reading the pads; false, with the reason in error(), when that cannot be.
    bool start();
    const QString& error() const { return error_; }
    // Pads open now.
    int pads() const { return int(pads_.size()); }
    void set_context(std::function<Context()> context) { context_ = std::move(context); }
    // The buttons' actions; a button held now keeps the key it pressed until let go.
    void set_bindings(const PadBindings& bindings) { bindings_ = bindings; }
    const PadBindings& bindings() const { return bindings_; }

    // Reads what the pads did since the last call. A pad's device node wakes it when the
    // pad speaks; a clock calls it too, to find new pads and read pads with no node.
    void poll();
    int poll_interval_ms() const { return poll_timer_.interval(); }

  signals:
    // The modifier mask is 0: the game reads none, and a pad has no modifier keys.
    void keyDown(std::int16_t code, std::int16_t shift);
    void keyUp(std::int16_t code, std::int16_t shift);
    // A command of the window: help, new game, pause, full screen.
    void command(Action action);
    // Every button that goes down (pad::A ..., the triggers and the stick's sides),
    // whoever listens: a window of the game's own may be driven by the pad.
    void pressed(int button);

  private:
    struct Pad {
        std::int32_t id;
        _SDL_GameController* controller;
        std::unique_ptr<DeviceWatch> watch;  // its device node, where SDL names one
        int stick = 0;                       // the side the left stick is pushed to: -1, 0 or 1
        std::array<bool, 2> triggers{};      // the left and right triggers held in
    };
    struct Held {
        std::int32_t pad;
        int button;
        std::int16_t code;  // the key its press sent, whatever the shop does since
    };

    void open(int device_index);
    void close(std::int32_t pad);
    void press(std::int32_t pad, int button);
    void release(std::int32_t pad, int button);
    void stick(Pad& pad, int value);
    void trigger(Pad& pad, int which, int value);
    std::vector<Pad>::iterator find_pad(std::int32_t id);
    std::vector<Held>::iterator find_held(std::int32_t pad, int button);
    bool holds(std::int16_t code) const;
    void repeat();
    void pace();

    QString error_;
    bool started_ = false;
    std::vector<Pad> pads_;
    std::vector<Held> held_;
    PadBindings bindings_ = PadBindings::classic();
    std::function<Context()> context_ = [] { return Context{}; };
    QTimer poll_timer_;
    QElapsedTimer since_input_;
    QTimer repeat_timer_;
};

}  // namespace grimbolt
