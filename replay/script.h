#pragma once
// Input scripts: what a player and the window system do to the game, one event a line,
// in plain text, so that a game can be played again exactly.
//
//   tick [N]            N periods of the tick timer pass (1 when N is left out)
//   down CODE [SHIFT]   a key goes down: the game's key code 0-255, modifier mask 0-7
//   up CODE [SHIFT]     a key comes up
//   new, pause, exit, music, speed, help, credits
//                       the menu commands
//   slider POS          the speed slider moved to POS (0-2000), while the dialog is up
//   ok                  the speed dialog's button, while the dialog is up
//   help-close, credits-close
//                       the help or credits window closed, if it is open
//   paint [N]           the window system asks N times (1-100) for the window to be
//                       painted, before the program gets to answer
//   resize W H          the window resized to W x H pixels (0-7680 x 0-4320)
//   activate            the main window activated
//   display W H         the display changed to W x H pixels (1-7680 x 1-4320)
//   period MS           the tick timer's period became MS milliseconds (1-2001)
//   safe-start 0|1      the enhanced edition's safe start, off or on, from the next game
//   fair-start 0|1      the enhanced edition's fair start, off or on, from the next game
//   load                the program has started and loaded its first game
//   clock S             the game's clock starts again at second S of the day (0-86399):
//                       a recording says so just before each new game
//
// A recorded game (the enhanced edition records every game) begins with a header that
// makes the file alone enough to play it again, and says what the game was:
//
//   recording 2         a recorded game, in the second version of the format: the whole
//                       run of the program up to the game's end, from its start
//   rules N             the version of the rules it was played by
//   seed N              the generator's first seed and the clock's start (0-86399)
//   score N             the score the game ended with, after what the shop took
//   earned N            the points the game earned, 100 a monster (rules 2 on)
//   date TEXT           when it ended, as ISO 8601 local time (2026-12-08T21:05:00)
//   ticks N, seconds N  how long the last game of the run lasted
//
// The first version held only the game itself, with `carry NAME V...` lines for what
// the game before it left behind; such files still read, but prove nothing.
//
// In a recording the events are what reached the game, not what the window system
// did: "paint" is one paint of the game, "resize W H" says the game's picture became
// W x H pixels, and two more words give the sizes the game reads:
//
//   window W H          the main window's outer size the game sees
//   picture W H         the size of the game's picture
//
// A '#' starts a comment; blank lines are skipped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace grimbolt {

enum class Command : std::uint8_t {
    Tick,
    KeyDown,
    KeyUp,
    NewGame,
    Pause,
    Exit,
    Music,
    Speed,
    Slider,
    Ok,
    Help,
    HelpClose,
    Credits,
    CreditsClose,
    Paint,
    Resize,
    Activate,
    Display,
    Period,
    SafeStart,
    Window,
    Picture,
    Load,
    Clock,
    FairStart,
};

struct ScriptEvent {
    Command command = Command::Tick;
    std::int32_t a = 1;  // tick or paint count, key code, slider position or width
    std::int32_t b = 0;  // modifier mask or height
    bool operator==(const ScriptEvent&) const = default;
};

// The biggest display and window a script may ask for: 8K.
inline constexpr std::int32_t kScriptMaxWidth = 7680;
inline constexpr std::int32_t kScriptMaxHeight = 4320;
inline constexpr std::int32_t kScriptMaxTicks = 1'000'000;
inline constexpr std::int32_t kSecondsPerDay = 86400;

// The speed dialog's slider: positions 0 to 2000, each a tick period, the slowest 2001 ms.
inline constexpr std::int32_t kSliderMost = 2000;
constexpr std::int32_t period_of_slider(std::int32_t position) {
    return kSliderMost - position + 1;
}
inline constexpr std::int32_t kSlowestPeriod = period_of_slider(0);

// How much a recording may ask of the one who proves it. A tick is one step of play, a
// full redraw of the window (a paint, resize, activation, the speed dialog's "Ок")
// twenty and a new game (or the program's start) thirty, as each costs about as much as
// so many ticks on the largest display; 400 000 steps are five and a half hours at the
// classic speed.
inline constexpr std::int64_t kRecordingMostBytes = 8 * 1024 * 1024;
inline constexpr std::int64_t kRecordingMostLines = 500'000;
inline constexpr std::int64_t kRecordingMostSteps = 400'000;
inline constexpr std::int64_t kRedrawSteps = 20;
inline constexpr std::int64_t kNewGameSteps = 30;
// A reader keeps at most so many errors, then stops.
inline constexpr std::size_t kMostErrors = 20;

// What a recording's header says; zero and empty where it says nothing.
struct ScriptHeader {
    std::int32_t recording = 0;  // the format's version; 0: a script written by hand
    std::int32_t rules = 0;      // the rules' version it was played by; 0: not said
    bool has_seed = false;
    std::int32_t seed = 0;
    std::int32_t score = 0;
    bool has_earned = false;
    std::int32_t earned = 0;
    std::string date;
    std::int32_t ticks = 0;
    std::int32_t seconds = 0;
    std::vector<std::vector<std::string>> carry;  // the first version's: a name and values
    bool operator==(const ScriptHeader&) const = default;
};

struct Script {
    ScriptHeader header;
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;  // "line N: ..." for each line that was skipped
};

// Reads any text: lines that are neither header nor events are skipped and reported,
// and so is a second header line of a kind; after kMostErrors errors it stops.
Script parse_script(std::string_view text);
// What playing an event costs, in steps of play: a redraw costs more in a wider window,
// whose starfield takes more of the generator. Without the window's width, the least.
std::int64_t steps_of(const ScriptEvent& event, std::int32_t window_width = 0);
std::int64_t steps_of(const std::vector<ScriptEvent>& events);
std::string format_event(const ScriptEvent& event);
std::string format_script(const std::vector<ScriptEvent>& events);
std::string format_header(const ScriptHeader& header);

}  // namespace grimbolt
