#include "shell/enhanced/options_menu.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <QPushButton>

#include "shell/input/gamepad.h"
#include "shell/mainfrm.h"

namespace grimbolt {

OptionsMenu::OptionsMenu(Mainfrm& window, Options options, Settings* settings)
    : QObject(&window), window_(window), options_(options), settings_(settings) {
    menu_ = window.menuBar()->addMenu(QString());
    options_item = menu_->addAction(QString());
    connect(options_item, &QAction::triggered, this, &OptionsMenu::open_options);
    keys_item = menu_->addAction(QString());
    connect(keys_item, &QAction::triggered, this, &OptionsMenu::open_keys);
    connect(&window, &Mainfrm::retranslated, this, &OptionsMenu::retranslate);
    retranslate();
    use_language(options_.language);

    // The Music item turns the sounds on and off; its mark shows which.
    window.use_music_switch();
    window.Music->setChecked(options_.sound);
    connect(window.Music, &QAction::toggled, this, &OptionsMenu::on_music);

    window.game().comforts.safe_start = options_.safe_start;
    // The window loaded its first game as the classic's; a fair one is loaded again.
    window.game().comforts.fair_start = options_.fair_start;
    if (options_.fair_start)
        window.game().Form_Load();
    if (options_.remember_speed)
        window.Timer1().set_interval(options_.tick_ms);
    window.use_key_bindings(options_.keys);

    connect(&window, &Mainfrm::commanded, this, [this](Command c) {
        if (c == Command::NewGame)
            on_new_game();
        else if (c == Command::Ok)
            on_speed_chosen();
    });
    window.installEventFilter(this);
}

void OptionsMenu::show() {
    if (!options_.full_screen || !options_.was_full_screen) {
        window_.show_maximized();
        return;
    }
    // Straight into full screen: F11 then goes back to maximized, as it always does.
    window_.showFullScreen();
    window_.raise();
    window_.activateWindow();
}

void OptionsMenu::set_options(const Options& options) {
    Options o = options;
    o.tick_ms = window_.Timer1().interval();
    o.was_full_screen = window_.isFullScreen();
    // What the player does not keep keeps what it was.
    if (!o.remember_speed)
        o.tick_ms = options_.tick_ms;
    if (!o.full_screen)
        o.was_full_screen = options_.was_full_screen;
    options_ = o;
    window_.game().comforts.fair_start = options_.fair_start;  // read as a game starts
    window_.use_key_bindings(options_.keys);
    if (pad_ != nullptr)
        pad_->set_bindings(options_.pad);
    keep();
    use_language(options_.language);
    window_.Music->setChecked(options_.sound);
    emit changed();
}

void OptionsMenu::open_options() {
    if (dialog_ == nullptr) {
        dialog_ = new OptionsDialog(options_, &window_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog_, &QDialog::accepted, this, [this] {
            // The window does not show the sound: the Music item's state of now stands.
            Options chosen = dialog_->options();
            chosen.sound = options_.sound;
            // Nor the world's account, which the hall window may have changed meanwhile.
            chosen.world_server = options_.world_server;
            chosen.world_name = options_.world_name;
            chosen.world_token = options_.world_token;
            set_options(chosen);
        });
    }
    dialog_->open();
    dialog_->raise();
    dialog_->activateWindow();
}

void OptionsMenu::open_keys() {
    if (keys_dialog_ == nullptr) {
        keys_dialog_ = new KeysDialog(options_.keys, options_.pad, &window_);
        keys_dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(keys_dialog_, &QDialog::accepted, this, [this] {
            Options chosen = options_;
            chosen.keys = keys_dialog_->keys();
            chosen.pad = keys_dialog_->pad();
            set_options(chosen);
        });
        if (pad_ != nullptr) {
            connect(pad_, &Gamepad::pressed, keys_dialog_, &KeysDialog::pad_pressed);
            keys_dialog_->show_pad_help(pad_->pads() > 0);
        }
    }
    keys_dialog_->open();
    keys_dialog_->raise();
    keys_dialog_->activateWindow();
}

void OptionsMenu::use_gamepad(Gamepad& pad) {
    pad_ = &pad;
    pad.set_bindings(options_.pad);
}

void OptionsMenu::retranslate() {
    menu_->setTitle(tr("Параметры"));
    options_item->setText(tr("Параметры…"));
    keys_item->setText(tr("Клавиши…"));
    // Here the item turns the game's sounds on and off: it says so.
    window_.Music->setText(tr("Звук"));
    window_.mark_menus();
}

void OptionsMenu::use_language(const QString& language) {
    const bool english = language == QLatin1String("en");
    if (english == english_installed_)
        return;
    if (english && english_.isEmpty() && !english_.load(QStringLiteral(":/i18n/grimbolt_en.qm"))) {
        return;
    }
    english_installed_ = english ? QCoreApplication::installTranslator(&english_)
                                 : !QCoreApplication::removeTranslator(&english_);
}

bool OptionsMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowStateChange && options_.full_screen &&
        window_.isFullScreen() != options_.was_full_screen) {
        options_.was_full_screen = window_.isFullScreen();
        keep();
    }
    return QObject::eventFilter(watched, event);
}

void OptionsMenu::on_new_game() {
    window_.game().comforts.safe_start = options_.safe_start;
}

void OptionsMenu::on_music(bool on) {
    emit sound_switched(on);
    if (on != options_.sound) {
        options_.sound = on;
        keep();
    }
}

void OptionsMenu::on_speed_chosen() {
    if (options_.remember_speed && window_.Timer1().interval() != options_.tick_ms) {
        options_.tick_ms = window_.Timer1().interval();
        keep();
    }
}

void OptionsMenu::keep() {
    if (settings_ != nullptr)
        settings_->save(options_);
}

}  // namespace grimbolt
