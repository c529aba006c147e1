#pragma once
// The enhanced edition put together on the classic main window: the menu "Параметры"
// with the player's options, the signs, the help windows' comforts, the sounds, and
// the hall of fame when games are kept. The program, the script player and the tests
// all build it here.

#include <QObject>

#include "shell/enhanced/options_menu.h"
#include "shell/enhanced/signs.h"
#include "shell/hall/hall_menu.h"

namespace grimbolt {

class Audio;
class BestScore;
class GameSound;
class Hall;
class Mainfrm;
class Recorder;
class WorldLink;

// Where the enhanced edition keeps what it keeps; null: nowhere (a replayed game).
struct Keeping {
    Settings* settings = nullptr;  // the options
    BestScore* best = nullptr;     // the best score
    Audio* audio = nullptr;        // the sounds play through it; null: silence
    Recorder* recorder = nullptr;  // with a hall: every game recorded and offered to it
    Hall* hall = nullptr;
    WorldLink* world = nullptr;  // with a hall: the world's hall of fame, its account kept
};

class Enhanced : public QObject {
    Q_OBJECT
  public:
    Enhanced(Mainfrm& window, Options options, Keeping keeping = {});

    OptionsMenu& options_menu() const { return *options_menu_; }
    Signs& signs() const { return *signs_; }
    // Null unless games are kept.
    HallMenu* hall_menu() const { return hall_menu_; }
    GameSound* sound() const { return sound_; }

  private:
    void use_world(WorldLink& world);

    OptionsMenu* options_menu_ = nullptr;
    Signs* signs_ = nullptr;
    HallMenu* hall_menu_ = nullptr;
    GameSound* sound_ = nullptr;
};

}  // namespace grimbolt
