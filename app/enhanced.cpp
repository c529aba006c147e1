#include "app/enhanced.h"

#include "shell/enhanced/help_windows.h"
#include "shell/mainfrm.h"
#include "shell/online/world_link.h"
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
        hall_menu_ = new HallMenu(window, *options_menu_->menu(), *keeping.recorder, *keeping.hall,
                                  keeping.world);
        connect(hall_menu_, &HallMenu::playing_back, signs_, &Signs::refresh);
    }
    if (hall_menu_ != nullptr && keeping.world != nullptr)
        use_world(*keeping.world);
}

// The world's account lives in the settings file with the other options: what the file
// had is used, and a name claimed in the hall window is kept there.
void Enhanced::use_world(WorldLink& world) {
    const Options& o = options_menu_->options();
    world.set_account({o.world_server, o.world_name, o.world_token});
    hall_menu_->set_auto_send(o.world_send);
    connect(options_menu_, &OptionsMenu::changed, this,
            [this] { hall_menu_->set_auto_send(options_menu_->options().world_send); });
    connect(&world, &WorldLink::claimed, this, [this](const WorldLink::Account& account) {
        Options o = options_menu_->options();
        o.world_server = account.server;
        o.world_name = account.name;
        o.world_token = account.token;
        options_menu_->set_options(o);
    });
}

}  // namespace grimbolt
