#include "replay/road.h"

#include "core/game.h"

namespace grimbolt {

void enter(Game& game, const ScriptEvent& e) {
    Timer& timer = game.platform().timer;
    switch (e.command) {
        case Command::Tick:
            for (std::int32_t i = 0; i < e.a; ++i) {
                game.platform().clock.period_passed(timer.interval());
                game.Timer1_Timer();
            }
            break;
        case Command::KeyDown:
            game.Form_KeyDown(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::KeyUp:
            game.Form_KeyUp(std::int16_t(e.a), std::int16_t(e.b));
            break;
        case Command::NewGame:
            game.New_Game_Click();
            break;
        case Command::Pause:
            game.Pause_Click();
            break;
        case Command::Speed:  // the speed dialog holds the game while it is up
            timer.set_enabled(false);
            break;
        case Command::Slider:
            timer.set_interval(period_of_slider(e.a));
            break;
        case Command::Ok:
            game.request_redraw();
            timer.set_enabled(true);
            break;
        case Command::Period:
            timer.set_interval(e.a);
            break;
        case Command::Paint:
            for (std::int32_t i = 0; i < e.a; ++i)
                game.Form_Paint();
            break;
        case Command::Resize:  // the picture has its new size already
            game.Form_Resize();
            break;
        case Command::Activate:
            game.Form_Activate();
            break;
        case Command::Load:
            game.Form_Load();
            break;
        case Command::SafeStart:
            game.comforts.safe_start = e.a != 0;
            break;
        case Command::FairStart:
            game.comforts.fair_start = e.a != 0;
            break;
        default:  // the menus and windows that leave the game alone, and the sizes
            break;
    }
}

}  // namespace grimbolt
