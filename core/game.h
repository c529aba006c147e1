#pragma once
// The one game object: the state record, the main window's picture and status panel,
// and every procedure of the game, which all read and write the record directly.

#include <cstdint>

#include "canvas/surface.h"
#include "core/game_state.h"
#include "core/number_text.h"
#include "core/platform.h"
#include "core/sprites.h"
#include "core/texts.h"

namespace grimbolt {

// A picture panel on the main window, with a drawing surface of its own.
struct PictureBox {
    Surface surface;
    bool visible = false;
    std::int32_t left = 0;  // twips, on the main window
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The version of the rules: a recorded game proves its score only under the rules it
// was played by. It goes up whenever a change of the rules could change a game, and
// every earlier version is still played as it was.
//   1  the first
//   2  the safe start waits for a landing of the game under way: a robot that stood on
//      the tiles when it died no longer counts as landed in the next game
inline constexpr std::int32_t kRulesVersion = 2;

// Comforts of the enhanced edition that change the rules; all off, the classic game.
struct Comforts {
    // No monster enters until the robot has first landed on the tile row.
    bool safe_start = false;
    // Each game starts with the robot on the tile row in the middle of the display, and
    // no monster comes for the first three seconds of play.
    bool fair_start = false;
};
// How long the fair start keeps the sky empty, in milliseconds of ticks.
inline constexpr std::int32_t kFairStartCalmMs = 3000;

// How often each thing the player hears of has happened since the program started:
// counted by the rules, read by the shell between events (the enhanced edition's
// sounds and summary). Nothing of the game reads them.
struct Happenings {
    std::uint32_t shots = 0;      // a bullet fired
    std::uint32_t hits = 0;       // a monster destroyed, by a bullet or an explosion
    std::uint32_t deaths = 0;     // the robot shot down
    std::uint32_t shops = 0;      // the shop opened
    std::uint32_t purchases = 0;  // a purchase made
    std::uint32_t refusals = 0;   // a purchase the score did not cover

    bool operator==(const Happenings&) const = default;
};

class Game {
  public:
    Game(Sprites sprites, Platform platform);

    GameState s;
    Comforts comforts;
    std::int32_t rules = kRulesVersion;  // a recording is played by the rules it names
    Texts texts = Texts::current();      // taken anew when the language changes
    Sprites sprites;
    Surface screen;        // the main window's picture
    PictureBox paramspic;  // the status panel on the tile row

    // Start and restart.
    void Form_Load();
    void Form_Activate();
    void New_Game_Click();
    // Switches the ticks over, whatever the phase: also in the shop and after a death.
    void Pause_Click();
    void restart_game();
    void load_level();

    // The game tick and its steps.
    void Timer1_Timer();

    // Window events.
    void Form_Paint();
    void Form_Resize();
    void Form_KeyDown(std::int16_t key_code, std::int16_t shift);
    void Form_KeyUp(std::int16_t key_code, std::int16_t shift);

    // The whole picture, and the status panel that every paint event moves and flips.
    void redraw_all();
    void toggle_paramspic();
    // The next tick begins with a whole redraw (asked by the speed dialog's "Ок").
    void request_redraw() { s.redraw_request = kTrue16; }

    // The robot, its bullets.
    void Paint_Hero(Rop stylepaint);
    void fire();
    void add_pull(std::int32_t x1, std::int32_t y1, std::int16_t direction);
    void redraw_pulls();

    // Tiles, monsters, explosions.
    void redraw_pregs();
    bool in_preg(std::int32_t tx, std::int32_t ty) const;
    void redraw_vrags();
    bool in_vrag(std::int32_t x1, std::int32_t y1, std::int16_t& m) const;
    void delete_vrag(std::int16_t m);
    void add_vzriv(std::int32_t x1, std::int32_t y1);
    void redraw_vzrivs();

    // The shop: drawn by magazine, worked by the keys while it is up.
    void magazine();
    void magazine_key(std::int16_t key_code);

    const Happenings& happenings() const { return happenings_; }

    // The main window's client area (ScaleWidth x ScaleHeight), in twips.
    Size client_size() const;
    const Platform& platform() const { return platform_; }

  private:
    // Steps of the tick.
    void erase_hero();
    void walk_hero();
    void die();
    void print_status();
    // The robot's turn and gun keys: XOR it away, change it, paint it again.
    template <class Change>
    void repaint_hero(Change change);

    // Monsters and explosions.
    std::int64_t percentage();
    int last_vrag_row() const;
    void spawn_vrag(Vrag& v);
    void fly_vrag(Vrag& v);
    void erase_vzriv(const Vzriv& vzriv);
    void blast_vrags(const Vzriv& vzriv);

    // The shop's purchases and its exit.
    template <class Effect>
    void buy(std::int32_t price, Effect effect);
    void leave_magazine();

    Platform platform_;
    Happenings happenings_;
};

}  // namespace grimbolt
