#include "replay/script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace grimbolt {
namespace {

struct Word {
    std::string_view name;
    Command command;
    int arguments_needed;
    int arguments_allowed;
};

constexpr std::array kWords{
    Word{"tick", Command::Tick, 0, 1},
    Word{"down", Command::KeyDown, 1, 2},
    Word{"up", Command::KeyUp, 1, 2},
    Word{"new", Command::NewGame, 0, 0},
    Word{"pause", Command::Pause, 0, 0},
    Word{"exit", Command::Exit, 0, 0},
    Word{"music", Command::Music, 0, 0},
    Word{"speed", Command::Speed, 0, 0},
    Word{"slider", Command::Slider, 1, 1},
    Word{"ok", Command::Ok, 0, 0},
    Word{"help", Command::Help, 0, 0},
    Word{"help-close", Command::HelpClose, 0, 0},
    Word{"credits", Command::Credits, 0, 0},
    Word{"credits-close", Command::CreditsClose, 0, 0},
    Word{"paint", Command::Paint, 0, 1},
    Word{"resize", Command::Resize, 2, 2},
    Word{"activate", Command::Activate, 0, 0},
    Word{"display", Command::Display, 2, 2},
    Word{"period", Command::Period, 1, 1},
    Word{"safe-start", Command::SafeStart, 1, 1},
    Word{"window", Command::Window, 2, 2},
    Word{"picture", Command::Picture, 2, 2},
    Word{"load", Command::Load, 0, 0},
    Word{"clock", Command::Clock, 1, 1},
    Word{"fair-start", Command::FairStart, 1, 1},
};

// The largest window the window system makes.
constexpr std::int32_t kMostWindow = 32767;
// A header's words and the number of values: at most so many, each so long.
constexpr std::size_t kMostCarried = 128;
constexpr std::size_t kLongestWord = 32;

struct Range {
    std::int32_t low;
    std::int32_t high;
};

// The allowed values of an event's first and second number.
std::array<Range, 2> ranges(Command c) {
    switch (c) {
        case Command::Tick:
            return {{{1, kScriptMaxTicks}, {0, 0}}};
        case Command::KeyDown:
        case Command::KeyUp:
            return {{{0, 255}, {0, 7}}};
        case Command::Slider:
            return {{{0, kSliderMost}, {0, 0}}};
        case Command::Paint:
            return {{{1, 100}, {0, 0}}};
        case Command::Resize:
            return {{{0, kScriptMaxWidth}, {0, kScriptMaxHeight}}};
        case Command::Display:
            return {{{1, kScriptMaxWidth}, {1, kScriptMaxHeight}}};
        case Command::Period:
            return {{{1, kSlowestPeriod}, {0, 0}}};
        case Command::SafeStart:
        case Command::FairStart:
            return {{{0, 1}, {0, 0}}};
        case Command::Clock:
            return {{{0, kSecondsPerDay - 1}, {0, 0}}};
        case Command::Window:  // only a number to the game: as wide as windows go
            return {{{0, kMostWindow}, {0, kMostWindow}}};
        case Command::Picture:
            return {{{0, kScriptMaxWidth}, {0, kScriptMaxHeight}}};
        default:
            return {{{0, 0}, {0, 0}}};
    }
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !blank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A word of a script as a message quotes it: its first 40 bytes, each one outside
// printable ASCII as \xNN, so that no byte of a broken file reaches the terminal raw.
std::string quoted(std::string_view word) {
    constexpr std::size_t kMost = 40;
    std::string out;
    for (const char c : word.substr(0, kMost)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", unsigned{byte});
            out += escaped;
        }
    }
    if (word.size() > kMost)
        out += "...";
    return out;
}

// Returns an empty string for a good line, else what is wrong with it.
std::string parse_line(const std::vector<std::string_view>& words, ScriptEvent& event) {
    const Word* word = nullptr;
    for (const Word& w : kWords) {
        if (w.name == words[0])
            word = &w;
    }
    if (word == nullptr)
        return "unknown event '" + quoted(words[0]) + "'";
    const int given = int(words.size()) - 1;
    if (given < word->arguments_needed || given > word->arguments_allowed)
        return "wrong number of values for '" + std::string(word->name) + "'";
    const bool counted = word->command == Command::Tick || word->command == Command::Paint;
    event = ScriptEvent{word->command, counted ? 1 : 0, 0};
    const auto limits = ranges(word->command);
    for (int k = 0; k < given; ++k) {
        const std::string_view text = words[std::size_t(k) + 1];
        std::int32_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc{} || end != text.data() + text.size())
            return "not a number: '" + quoted(text) + "'";
        if (value < limits[std::size_t(k)].low || value > limits[std::size_t(k)].high)
            return "out of range: " + quoted(text);
        (k == 0 ? event.a : event.b) = value;
    }
    return {};
}

bool number_in(std::string_view text, std::int32_t low, std::int32_t high, std::int32_t& out) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

// A date, a carried name or value: short, and made of these characters only.
bool plain(std::string_view word, std::string_view allowed) {
    if (word.empty() || word.size() > kLongestWord)
        return false;
    for (const char c : word) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letter && allowed.find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

// A header line: true when the first word is a header word, with what is wrong with it
// in `error` (empty when the line is good).
bool parse_header_line(const std::vector<std::string_view>& words, ScriptHeader& header,
                       std::vector<std::string_view>& had, std::string& error) {
    const std::string_view name = words[0];
    // One line of each kind: a header that says two things says nothing.
    const auto seen = [&had](std::string_view word) {
        if (std::find(had.begin(), had.end(), word) != had.end())
            return true;
        had.push_back(word);
        return false;
    };
    struct Number {
        std::string_view name;
        std::int32_t ScriptHeader::*field;
        std::int32_t low;
        std::int32_t high;
    };
    constexpr std::int32_t kMost = 2'147'483'647;
    const Number numbers[] = {{"recording", &ScriptHeader::recording, 1, 2},
                              {"rules", &ScriptHeader::rules, 1, kMost},
                              {"seed", &ScriptHeader::seed, 0, kSecondsPerDay - 1},
                              {"score", &ScriptHeader::score, -kMost, kMost},
                              {"earned", &ScriptHeader::earned, 0, kMost},
                              {"ticks", &ScriptHeader::ticks, 0, kMost},
                              {"seconds", &ScriptHeader::seconds, 0, kMost}};
    for (const Number& n : numbers) {
        if (n.name != name)
            continue;
        if (seen(name))
            error = "a second '" + std::string(name) + "' line";
        else if (words.size() != 2 || !number_in(words[1], n.low, n.high, header.*n.field))
            error = "a bad value for '" + std::string(name) + "'";
        else if (n.field == &ScriptHeader::seed)
            header.has_seed = true;
        else if (n.field == &ScriptHeader::earned)
            header.has_earned = true;
        return true;
    }
    if (name == "date") {
        if (seen(name))
            error = "a second 'date' line";
        else if (words.size() == 2 && plain(words[1], "-:T"))
            header.date = std::string(words[1]);
        else
            error = "a bad date";
        return true;
    }
    if (name == "carry") {
        bool good = words.size() >= 3 && words.size() <= kMostCarried && plain(words[1], "_-");
        for (std::size_t i = 2; good && i < words.size(); ++i)
            good = plain(words[i], "-+.e");
        if (good)
            header.carry.emplace_back(words.begin() + 1, words.end());
        else
            error = "a bad carried value";
        return true;
    }
    return false;
}

}  // namespace

Script parse_script(std::string_view text) {
    Script script;
    std::vector<std::string_view> had;  // the header's words read so far
    int number = 0;
    while (!text.empty() && script.errors.size() < kMostErrors) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const auto words = words_of(line);
        if (words.empty())
            continue;
        ScriptEvent event;
        std::string error;
        if (parse_header_line(words, script.header, had, error)) {
            if (!error.empty())
                script.errors.push_back("line " + std::to_string(number) + ": " + error);
            continue;
        }
        error = parse_line(words, event);
        if (error.empty()) {
            script.events.push_back(event);
        } else {
            script.errors.push_back("line " + std::to_string(number) + ": " + error);
        }
    }
    if (script.errors.size() >= kMostErrors && !text.empty())
        script.errors.push_back("line " + std::to_string(number) + ": too many errors, stopped");
    return script;
}

std::int64_t steps_of(const ScriptEvent& e, std::int32_t window_width) {
    const std::int64_t wide = 1 + 2 * (std::max(0, window_width - 1) / kScriptMaxWidth);
    switch (e.command) {
        case Command::Tick:
            return e.a;
        case Command::Paint:
            return std::int64_t{e.a} * kRedrawSteps * wide;
        case Command::Resize:
        case Command::Activate:
        case Command::Ok:
            return kRedrawSteps * wide;
        case Command::NewGame:
        case Command::Load:
            return kNewGameSteps * wide;
        default:
            return 0;
    }
}

std::int64_t steps_of(const std::vector<ScriptEvent>& events) {
    std::int64_t steps = 0;
    for (const ScriptEvent& e : events)
        steps += steps_of(e);
    return steps;
}

std::string format_event(const ScriptEvent& e) {
    std::string name;
    for (const Word& w : kWords) {
        if (w.command == e.command)
            name = w.name;
    }
    switch (e.command) {
        case Command::Tick:
        case Command::Paint:
            return e.a == 1 ? name : name + ' ' + std::to_string(e.a);
        case Command::KeyDown:
        case Command::KeyUp:
            return name + ' ' + std::to_string(e.a) + (e.b != 0 ? ' ' + std::to_string(e.b) : "");
        case Command::Slider:
        case Command::Period:
        case Command::SafeStart:
        case Command::FairStart:
        case Command::Clock:
            return name + ' ' + std::to_string(e.a);
        case Command::Resize:
        case Command::Display:
        case Command::Window:
        case Command::Picture:
            return name + ' ' + std::to_string(e.a) + ' ' + std::to_string(e.b);
        default:
            return name;
    }
}

std::string format_script(const std::vector<ScriptEvent>& events) {
    std::string text;
    for (const ScriptEvent& e : events)
        text += format_event(e) + '\n';
    return text;
}

std::string format_header(const ScriptHeader& h) {
    std::string text = "recording " + std::to_string(h.recording) + '\n';
    if (h.rules != 0)
        text += "rules " + std::to_string(h.rules) + '\n';
    text += "seed " + std::to_string(h.seed) + '\n';
    text += "score " + std::to_string(h.score) + '\n';
    if (h.has_earned)
        text += "earned " + std::to_string(h.earned) + '\n';
    if (!h.date.empty())
        text += "date " + h.date + '\n';
    text += "ticks " + std::to_string(h.ticks) + '\n';
    text += "seconds " + std::to_string(h.seconds) + '\n';
    for (const auto& carried : h.carry) {
        text += "carry";
        for (const std::string& word : carried)
            text += ' ' + word;
        text += '\n';
    }
    return text;
}

}  // namespace grimbolt
