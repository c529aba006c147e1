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

struct Script {
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;  // "line N: ..." for each line that was skipped
};

// Reads any text: lines that are not events are skipped and reported.
Script parse_script(std::string_view text);
std::string format_event(const ScriptEvent& event);
std::string format_script(const std::vector<ScriptEvent>& events);

}  // namespace grimbolt
