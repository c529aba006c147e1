#include "server/variants.h"

#include "replay/proof.h"

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

std::string other_game(const std::string& recorded, int n) {
    // The same keys on another day: the last game's clock, and so its monsters, differ.
    const std::size_t at = recorded.find("\nclock ");
    const std::size_t start = recorded.find("\nnew\n", at);
    if (at == std::string::npos || start == std::string::npos)
        return {};
    const std::size_t end = recorded.find('\n', at + 1);
    const int clock = std::stoi(recorded.substr(at + 7, end - at - 7));
    const std::string text = with_line(recorded, "clock", std::to_string((clock + n + 1) % 86400));
    if (std::string whole = told(text); !whole.empty())
        return whole;
    // Other monsters end the game sooner: the longest beginning that proves, found by
    // halving, each beginning a whole number of lines.
    std::size_t good = start + 5, bad = text.size();
    while (text.find('\n', good) + 1 < bad) {
        std::size_t mid = text.find('\n', good + (bad - good) / 2);
        if (mid == std::string::npos || mid + 1 >= bad)
            mid = text.find('\n', good);
        if (told(text.substr(0, mid + 1)).empty())
            bad = mid + 1;
        else
            good = mid + 1;
    }
    return told(text.substr(0, good));
}

}  // namespace grimbolt::server
