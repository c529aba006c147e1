#include "app/enhanced.h"

#include "shell/enhanced/help_windows.h"
#include "shell/mainfrm.h"
#include "shell/sound/game_sound.h"

namespace grimbolt {

Enhanced::Enhanced(Mainfrm& window, Options options, Keeping keeping) : QObject(&window) {
    options_menu_ = new OptionsMenu(window, options, keeping.settings);
    window.use_keyboard_menus();
    signs_ = new Signs(window, options_menu_->options(), keeping.best);
    connect(options_menu_, &OptionsMenu::changed, signs_, &Signs::refresh);
    new HelpWindows(window);
    if (keeping.audio != nullptr) {
        sound_ = new GameSound(window.game(), *keeping.audio, this);
        sound_->set_enabled(options.sound);
        connect(&window, &Mainfrm::presented, sound_, &GameSound::hear);
        connect(options_menu_, &OptionsMenu::sound_switched, sound_, &GameSound::set_enabled);
    }
    if (keeping.recorder != nullptr && keeping.hall != nullptr) {
        hall_menu_ = new HallMenu(window, *options_menu_->menu(), *keeping.recorder, *keeping.hall);
        connect(hall_menu_, &HallMenu::playing_back, signs_, &Signs::refresh);
    }
}

}  // namespace grimbolt
