#pragma once
// The hall of fame in the enhanced edition: every game is recorded and offered to the
// hall as it ends; the item "Рекорды…" opens the hall's window, where a kept game can
// be played back in the main window.

#include <QObject>
#include <QPointer>

#include "shell/hall/hall_window.h"
#include "shell/hall/playback.h"

class QAction;
class QMenu;

namespace grimbolt {

class Hall;
class Keeper;
class Mainfrm;
class Recorder;
class WorldLink;

class HallMenu : public QObject {
    Q_OBJECT
  public:
    // Adds its item to `menu` and begins recording the window's games with `recorder`.
    // `world`, when there is one, outlives the menu: the hall's games can be sent to it.
    HallMenu(Mainfrm& window, QMenu& menu, Recorder& recorder, Hall& hall,
             WorldLink* world = nullptr);

    QAction* hall_item = nullptr;
    void open_hall();
    HallWindow* hall_window() const { return hall_window_; }
    Keeper* keeper() const { return keeper_; }
    // Plays a recorded game back in the main window; false when the file is no recording.
    bool play_back(const QString& path);
    // Plays back a recording proven already; false when it cannot be played.
    bool play_back_recording(const QByteArray& recording);
    // Proves a recording from anywhere (a file a player opens), then plays it back, or
    // tells the player why not.
    void open_recording(const QString& path);
    // Each game that enters the hall is sent to the world's hall of fame.
    void set_auto_send(bool on) { auto_send_ = on; }
    Playback* playback() const { return playback_; }

  signals:
    // A recording began to play back: the signs show it.
    void playing_back();

  private:
    void retranslate();
    bool play_back_script(const Script& script);

    Mainfrm& window_;
    WorldLink* world_ = nullptr;
    bool auto_send_ = false;
    Keeper* keeper_ = nullptr;  // a child: it waits for the games handed over as it goes
    QPointer<HallWindow> hall_window_;
    QPointer<Playback> playback_;
};

}  // namespace grimbolt
