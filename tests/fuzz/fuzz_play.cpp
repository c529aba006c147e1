#include "fuzz/fuzz_play.h"

#include <algorithm>
#include <string_view>

#include "app/script_player.h"
#include "replay/script.h"

namespace grimbolt {
namespace {

constexpr int kMostEvents = 100;
constexpr std::int32_t kMostTicks = 200;

}  // namespace

int fuzz_play(const char* data, std::size_t size) {
    const Script script = parse_script(std::string_view(data, size));
    // A small display to start with keeps each run short; the input may change it.
    ReplaySetup options;
    options.display = QSize(320, 200);
    ScriptPlayer player(options);
    int played = 0;
    std::int32_t ticks = 0;
    for (ScriptEvent e : script.events) {
        if (played == kMostEvents || ticks == kMostTicks)
            break;
        if (e.command == Command::Tick) {
            e.a = std::min(e.a, kMostTicks - ticks);
            ticks += e.a;
        }
        player.play(e);
        ++played;
    }
    return played;
}

}  // namespace grimbolt
