#include "tests/fuzz/fuzz_play.h"

#include <algorithm>
#include <string_view>

#include "ui/script.h"
#include "ui/script_player.h"

namespace grimbolt {
namespace {

constexpr int kMostEvents = 400;
constexpr std::int32_t kMostTicks = 3000;

}  // namespace

int fuzz_play(const char* data, std::size_t size) {
    const Script script = parse_script(std::string_view(data, size));
    ScriptPlayer player;
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
