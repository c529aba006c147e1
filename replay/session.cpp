#include "replay/session.h"

#include "replay/road.h"

namespace grimbolt {

std::int32_t GameClock::seconds_since_midnight() const {
    const std::int64_t now = start_seconds + elapsed_ms / 1000;
    return std::int32_t(((now % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay);
}

Session::Session(const ScriptHeader& header, bool drawn)
    : game_(Sprites::load(), Platform{timer_, display_, random_, clock_}), drawn_(drawn) {
    if (!drawn)
        game_.paramspic.surface.resize(0, 0);
    if (header.rules != 0)
        game_.rules = header.rules;
    clock_.restart(header.seed);
    random_.reseed(header.seed);
}

void Session::draw_from_here() {
    if (drawn_)
        return;
    drawn_ = true;
    game_.screen.resize(picture_width_, picture_height_);
    game_.paramspic.surface.resize(int(to_px(game_.paramspic.width)),
                                   int(to_px(game_.paramspic.height)));
}

void Session::play(const std::vector<ScriptEvent>& events) {
    for (const ScriptEvent& e : events)
        play(e);
}

void Session::play(const ScriptEvent& e) {
    const auto twips = [](std::int32_t w, std::int32_t h) {
        return Size{w * kTwipsPerPixel, h * kTwipsPerPixel};
    };
    // The surroundings a recording gives the game: the sizes it reads and its clock.
    switch (e.command) {
        case Command::Display:
            display_.screen = twips(e.a, e.b);
            return;
        case Command::Window:
            display_.window = twips(e.a, e.b);
            return;
        case Command::Picture:
        case Command::Resize:
            picture_width_ = e.a;
            picture_height_ = e.b;
            game_.screen.resize(drawn_ ? e.a : 0, drawn_ ? e.b : 0);
            break;
        case Command::Clock:
            clock_.restart(e.a);
            return;
        default:
            break;
    }
    enter(game_, e);
}

}  // namespace grimbolt
