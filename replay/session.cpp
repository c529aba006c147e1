#include "replay/session.h"

#include <charconv>
#include <limits>

namespace grimbolt {
namespace {

// The scalars of the state that a restart leaves as they were.
template <class State, class Visit>
void each_kept(State& s, Visit visit) {
    visit("last_direction", s.last_direction);
    visit("walking", s.walking);
    visit("flying", s.flying);
    visit("on_ground", s.on_ground);
    visit("reload_counter", s.reload_counter);
    visit("hero_dirty", s.hero_dirty);
    visit("muzzle_x", s.muzzle_x);
    visit("spawn_delay", s.spawn_delay);
    visit("redraw_request", s.redraw_request);
}

template <class T>
bool read(const std::string& text, T& out) {
    if constexpr (std::is_floating_point_v<T>) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
        return error == std::errc{} && end == text.data() + text.size();
    } else {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc{} || end != text.data() + text.size() ||
            value < std::int64_t{std::numeric_limits<T>::min()} ||
            value > std::int64_t{std::numeric_limits<T>::max()})
            return false;
        out = static_cast<T>(value);
        return true;
    }
}

std::string text_of(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Reads values[from..] into the fields, all or none.
template <class... T>
bool read_all(const std::vector<std::string>& values, std::size_t from, T&... fields) {
    if (values.size() != from + sizeof...(T))
        return false;
    std::size_t i = from;
    return (read(values[i++], fields) && ...);
}

bool apply_line(Game& game, const std::vector<std::string>& line) {
    GameState& s = game.s;
    const std::string& name = line.front();
    bool known = false;
    bool good = false;
    each_kept(s, [&](std::string_view field, auto& value) {
        if (field == name) {
            known = true;
            good = read_all(line, 1, value);
        }
    });
    if (known)
        return good;
    if (name == "panel") {
        std::uint8_t visible = 0;
        const bool ok =
            read_all(line, 1, visible, game.paramspic.left, game.paramspic.top) && visible <= 1;
        game.paramspic.visible = visible != 0;
        return ok;
    }
    if (name == "pregs") {
        if (line.size() != 1 + 2 * kPregRows)
            return false;
        for (int i = 0; i < kPregRows; ++i) {
            if (!read_all({line[1 + 2 * i], line[2 + 2 * i]}, 0, s.pregs[i].x, s.pregs[i].y))
                return false;
        }
        return true;
    }
    if (name == "pull" || name == "vzriv") {
        int row = 0;
        std::int32_t x = 0;
        std::int32_t y = 0;
        const int rows = name == "pull" ? kPullRows : kVzrivRows;
        if (!read_all(line, 1, row, x, y) || row < 0 || row >= rows)
            return false;
        if (name == "pull")
            s.pulls[std::size_t(row)] = Pull{x, y, s.pulls[std::size_t(row)].dir};
        else
            s.vzrivs[std::size_t(row)] = Vzriv{x, y, s.vzrivs[std::size_t(row)].r};
        return true;
    }
    if (name == "vrag") {
        int row = 0;
        Vrag v;
        if (!read_all(line, 1, row, v.x, v.y, v.dir) || row < 0 || row >= kVragRows)
            return false;
        s.vrags[std::size_t(row)] = v;
        return true;
    }
    return false;
}

}  // namespace

std::int32_t GameClock::seconds_since_midnight() const {
    const std::int64_t now = start_seconds + elapsed_ms / 1000;
    return std::int32_t(((now % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

std::vector<std::vector<std::string>> carry_of(const Game& game) {
    std::vector<std::vector<std::string>> carry;
    const GameState& s = game.s;
    each_kept(s, [&](std::string_view name, const auto& value) {
        if (value != 0)
            carry.push_back({std::string(name), std::to_string(+value)});
    });
    const PictureBox& panel = game.paramspic;
    carry.push_back({"panel", std::to_string(int(panel.visible)), std::to_string(panel.left),
                     std::to_string(panel.top)});
    // The tile procedures look at the first rows whatever the new game lays.
    std::vector<std::string> pregs{"pregs"};
    for (int i = 0; i < kPregRows; ++i) {
        pregs.push_back(std::to_string(s.pregs[i].x));
        pregs.push_back(std::to_string(s.pregs[i].y));
    }
    carry.push_back(std::move(pregs));
    // Freed bullets and explosions keep where they were.
    for (int i = 0; i < kPullRows; ++i) {
        const Pull& p = s.pulls[std::size_t(i)];
        if (p.x != 0 || p.y != 0)
            carry.push_back({"pull", std::to_string(i), std::to_string(p.x), std::to_string(p.y)});
    }
    for (int i = 0; i < kVzrivRows; ++i) {
        const Vzriv& v = s.vzrivs[std::size_t(i)];
        if (v.x != 0 || v.y != 0)
            carry.push_back({"vzriv", std::to_string(i), std::to_string(v.x), std::to_string(v.y)});
    }
    // A restart frees only the monsters of rows it uses; the shop may bring the rest in.
    for (int i = 0; i < kVragRows; ++i) {
        const Vrag& v = s.vrags[std::size_t(i)];
        if (v.dir != 0 || v.x != 0 || v.y != 0)
            carry.push_back({"vrag", std::to_string(i), text_of(v.x), std::to_string(v.y),
                             std::to_string(v.dir)});
    }
    return carry;
}

bool apply_carry(Game& game, const std::vector<std::vector<std::string>>& carry) {
    bool good = true;
    for (const auto& line : carry)
        good = !line.empty() && apply_line(game, line) && good;
    return good;
}

Session::Session(const ScriptHeader& header, bool drawn)
    : game_(Sprites::load(), Platform{timer_, display_, random_, clock_}), drawn_(drawn) {
    if (!drawn)
        game_.paramspic.surface.resize(0, 0);
    clock_.restart(header.seed);
    random_.reseed(header.seed);
    carried_ = apply_carry(game_, header.carry);
}

void Session::play(const std::vector<ScriptEvent>& events) {
    for (const ScriptEvent& e : events)
        play(e);
}

void Session::play(const ScriptEvent& e) {
    const auto twips = [](std::int32_t w, std::int32_t h) {
        return Size{w * kTwipsPerPixel, h * kTwipsPerPixel};
    };
    switch (e.command) {
        case Command::Display:
            display_.screen = twips(e.a, e.b);
            break;
        case Command::Window:
            display_.window = twips(e.a, e.b);
            break;
        case Command::Picture:
            game_.screen.resize(drawn_ ? e.a : 0, drawn_ ? e.b : 0);
            break;
        case Command::Period:
            timer_.set_interval(e.a);
            break;
        case Command::Slider:
            timer_.set_interval(2000 - e.a + 1);
            break;
        case Command::SafeStart:
            game_.comforts.safe_start = e.a != 0;
            break;
        case Command::Load:
            game_.Form_Load();
            break;
        case Command::Tick:
            for (std::int32_t i = 0; i < e.a; ++i) {
                clock_.elapsed_ms += timer_.interval();
                game_.Timer1_Timer();
            }
            break;
        case Command::KeyDown:
            game_.Form_KeyDown(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::KeyUp:
            game_.Form_KeyUp(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::NewGame:
            game_.New_Game_Click();
            break;
        case Command::Pause:
            game_.Pause_Click();
            break;
        case Command::Speed:
            timer_.set_enabled(false);
            break;
        case Command::Ok:
            game_.request_redraw();
            timer_.set_enabled(true);
            break;
        case Command::Paint:
            for (std::int32_t i = 0; i < e.a; ++i)
                game_.Form_Paint();
            break;
        case Command::Resize:
            game_.screen.resize(drawn_ ? e.a : 0, drawn_ ? e.b : 0);
            game_.Form_Resize();
            break;
        case Command::Activate:
            game_.Form_Activate();
            break;
        default:  // the menus and windows that do not touch the game
            break;
    }
}

Verdict verify(std::string_view text) {
    Verdict verdict;
    const Script script = parse_script(text);
    if (script.header.recording == 0 || !script.header.has_seed) {
        verdict.why = "not a recorded game";
        return verdict;
    }
    if (!script.errors.empty()) {
        verdict.why = script.errors.front();
        return verdict;
    }
    Session session(script.header, false);
    session.play(script.events);
    if (!session.carried()) {
        verdict.why = "a carried value out of range";
        return verdict;
    }
    verdict.recorded = script.header.score;
    verdict.replayed = session.game().s.score;
    verdict.outcome = verdict.recorded == verdict.replayed ? Verdict::Proven : Verdict::Differs;
    return verdict;
}

}  // namespace grimbolt
