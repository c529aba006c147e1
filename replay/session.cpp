#include "replay/session.h"

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
    switch (e.command) {
        case Command::Display:
            display_.screen = twips(e.a, e.b);
            break;
        case Command::Window:
            display_.window = twips(e.a, e.b);
            break;
        case Command::Picture:
            picture_width_ = e.a;
            picture_height_ = e.b;
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
        case Command::FairStart:
            game_.comforts.fair_start = e.a != 0;
            break;
        case Command::Clock:
            clock_.restart(e.a);
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
            picture_width_ = e.a;
            picture_height_ = e.b;
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

}  // namespace grimbolt
