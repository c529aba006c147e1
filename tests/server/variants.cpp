#include "server/variants.h"

#include "replay/proof.h"
#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt::server {
namespace {

std::string with_line(std::string text, const std::string& key, const std::string& value) {
    const std::size_t at = text.find('\n' + key + ' ');
    if (at == std::string::npos)
        return text;
    const std::size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end - at - 1, key + ' ' + value);
}

}  // namespace

std::string told(std::string text) {
    const Verdict v = verify(text);
    if (v.outcome == Verdict::Proven)
        return text;
    text = with_line(text, "score", std::to_string(v.replayed));
    text = with_line(text, "earned", std::to_string(v.earned));
    text = with_line(text, "ticks", std::to_string(v.ticks));
    text = with_line(text, "seconds", std::to_string(v.seconds));
    return verify(text).outcome == Verdict::Proven ? text : std::string();
}

namespace {

// The run up to its robot's end: the ticks a stopped game cannot take are left out.
std::string while_alive(const std::string& text) {
    const Script script = parse_script(text);
    Session session(script.header, false);
    std::vector<ScriptEvent> kept;
    for (const ScriptEvent& e : script.events) {
        if (e.command != Command::Tick) {
            kept.push_back(e);
            session.play(e);
            continue;
        }
        std::int32_t ticks = 0;
        while (ticks < e.a && session.timer_running()) {
            session.play(ScriptEvent{Command::Tick, 1, 0});
            ++ticks;
        }
        if (ticks > 0)
            kept.push_back(ScriptEvent{Command::Tick, ticks, 0});
        if (ticks < e.a)
            break;
    }
    return format_header(script.header) + format_script(kept);
}

}  // namespace

std::string other_game(const std::string& recorded, int n) {
    // The player plays on: after the recorded game, a new one on another day (so with
    // other monsters) with the same keys, as long as it lasts. The proof plays both.
    const std::size_t at = recorded.find("\nclock ");
    const std::size_t start = recorded.find("\nnew\n", at);
    if (at == std::string::npos || start == std::string::npos)
        return {};
    const std::size_t end = recorded.find('\n', at + 1);
    const int clock = std::stoi(recorded.substr(at + 7, end - at - 7));
    const std::string next = "clock " + std::to_string((clock + n + 1) % 86400) + "\nnew\n";
    return told(while_alive(recorded + next + recorded.substr(start + 5)));
}

}  // namespace grimbolt::server
