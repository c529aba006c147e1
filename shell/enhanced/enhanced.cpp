#include "shell/enhanced/enhanced.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <utility>

#include "replay/hall.h"
#include "replay/keeper.h"
#include "replay/proof.h"
#include "replay/recorder.h"
#include "shell/enhanced/best_score.h"
#include "shell/enhanced/options_dialog.h"
#include "shell/enhanced/overlay.h"
#include "shell/hall/hall_window.h"
#include "shell/hall/playback.h"
#include "shell/mainfrm.h"
#include "shell/sound/game_sound.h"

namespace grimbolt {

Enhanced::Enhanced(Mainfrm& window, Options options, Settings* settings, BestScore* best,
                   Audio* audio)
    : QObject(&window), window_(window), options_(options), settings_(settings), best_(best) {
    menu_ = window.menuBar()->addMenu(QString());
    Settings_Item = menu_->addAction(QString());
    connect(Settings_Item, &QAction::triggered, this, &Enhanced::Settings_Click);
    window.use_keyboard_menus();
    connect(&window, &Mainfrm::retranslated, this, &Enhanced::retranslate);
    retranslate();
    use_language(options_.language);

    overlay_ = new Overlay(window.view());
    // The Music item turns the sounds on and off; its mark shows which.
    QObject::disconnect(window.Music, &QAction::triggered, window.Music, nullptr);
    window.Music->setChecked(options_.sound);
    connect(window.Music, &QAction::toggled, this, &Enhanced::on_music);
    if (audio != nullptr) {
        sound_ = new GameSound(window.game(), *audio, this);
        connect(&window, &Mainfrm::presented, sound_, &GameSound::hear);
        sound_->set_enabled(options_.sound);
    }
    best_seen_ = best_ != nullptr ? best_->best() : 0;
    window.game().comforts.safe_start = options_.safe_start;
    // The window loaded its first game as the classic's; a fair one is loaded again.
    window.game().comforts.fair_start = options_.fair_start;
    if (options_.fair_start)
        window.game().Form_Load();
    if (options_.remember_speed)
        window.Timer1().set_interval(options_.tick_ms);

    // Each runs after the window's own handling of the same command.
    connect(window.New_Game, &QAction::triggered, this, &Enhanced::on_new_game);
    connect(window.Pause, &QAction::triggered, this, &Enhanced::on_pause);
    connect(window.How_to_play, &QAction::triggered, this, &Enhanced::on_help);
    connect(window.Author, &QAction::triggered, this, &Enhanced::on_credits);
    connect(window.Okbut(), &QPushButton::clicked, this, &Enhanced::on_speed_chosen);
    connect(&window, &Mainfrm::presented, this, &Enhanced::refresh);
    window.installEventFilter(this);
}

void Enhanced::show() {
    if (!options_.full_screen || !options_.was_full_screen) {
        window_.show_maximized();
        return;
    }
    // Straight into full screen: F11 then goes back to maximized, as it always does.
    window_.showFullScreen();
    window_.raise();
    window_.activateWindow();
}

void Enhanced::set_options(const Options& options) {
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
    keep();
    use_language(options_.language);
    window_.Music->setChecked(options_.sound);
    refresh();
}

void Enhanced::Settings_Click() {
    if (dialog_ == nullptr) {
        dialog_ = new OptionsDialog(options_, &window_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog_, &QDialog::accepted, this, [this] {
            // The window does not show the sound: the Music item's state of now stands.
            Options chosen = dialog_->options();
            chosen.sound = options_.sound;
            set_options(chosen);
        });
    }
    dialog_->open();
    dialog_->raise();
    dialog_->activateWindow();
}

void Enhanced::keep_games(Recorder& recorder, Hall& hall) {
    keeper_ = new Keeper(hall, this);
    Hall_Item = menu_->addAction(QString());
    connect(Hall_Item, &QAction::triggered, this, &Enhanced::Hall_Click);
    retranslate();
    recorder.ended = [keeper = keeper_](const Recording& game) { keeper->keep(game); };
    window_.add_tap(recorder);
    recorder.begin();
}

void Enhanced::Hall_Click() {
    if (hall_window_ == nullptr) {
        hall_window_ = new HallWindow(*keeper_, &window_);
        hall_window_->setAttribute(Qt::WA_DeleteOnClose);
        connect(hall_window_, &HallWindow::play_back, this, &Enhanced::play_back);
        // The game waits while the player looks at the hall, and goes on when the window
        // closes, unless a game to play back was chosen.
        const bool running = window_.Timer1().enabled();
        window_.Timer1().set_enabled(false);
        connect(hall_window_, &QDialog::finished, this, [this, running] {
            if (running && !window_.showing_recorded())
                window_.Timer1().set_enabled(true);
        });
    }
    hall_window_->open();
    hall_window_->raise();
    hall_window_->activateWindow();
}

bool Enhanced::play_back(const QString& path) {
    const Script script = read_recording(path).script();
    if (script.header.recording == 0 || !script.errors.empty())
        return false;
    if (playback_ != nullptr) {
        playback_->stop();
        delete playback_;
    }
    playback_ = new Playback(window_, script, this);
    connect(playback_, &Playback::ended, playback_, &QObject::deleteLater);
    refresh();
    return true;
}

void Enhanced::retranslate() {
    menu_->setTitle(tr("Параметры"));
    Settings_Item->setText(tr("Параметры…"));
    if (Hall_Item != nullptr)
        Hall_Item->setText(tr("Рекорды…"));
    // Here the item turns the game's sounds on and off: it says so.
    window_.Music->setText(tr("Звук"));
    window_.mark_menus();
}

void Enhanced::use_language(const QString& language) {
    const bool english = language == QLatin1String("en");
    if (english == english_installed_)
        return;
    if (english && english_.isEmpty() && !english_.load(QStringLiteral(":/i18n/grimbolt_en.qm"))) {
        return;
    }
    english_installed_ = english ? QCoreApplication::installTranslator(&english_)
                                 : !QCoreApplication::removeTranslator(&english_);
}

bool Enhanced::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowStateChange && options_.full_screen &&
        window_.isFullScreen() != options_.was_full_screen) {
        options_.was_full_screen = window_.isFullScreen();
        keep();
    }
    return QObject::eventFilter(watched, event);
}

void Enhanced::refresh() {
    const Game& game = window_.game();
    if (game.happenings().deaths != deaths_seen_) {
        deaths_seen_ = game.happenings().deaths;
        game_over_ = true;
        best_seen_ =
            best_ != nullptr ? best_->offer(game.s.score) : std::max(best_seen_, game.s.score);
    }
    if (window_.Timer1().enabled())
        paused_ = false;
    if (window_.showing_recorded())
        overlay_->show_playback();
    else if (game_over_ && options_.game_over)
        overlay_->show_game_over(game.s.score, best_seen_);
    else if (paused_ && options_.pause_sign)
        overlay_->show_pause();
    else
        overlay_->clear();
}

void Enhanced::on_new_game() {
    game_over_ = false;
    window_.game().comforts.safe_start = options_.safe_start;
    refresh();
}

void Enhanced::on_pause() {
    help_paused_ = false;  // the player's own pause stands as the player left it
    paused_ = !window_.Timer1().enabled();
    refresh();
}

namespace {
void close_on_escape(QWidget* window) {
    const QString name = QStringLiteral("close_on_escape");
    if (window == nullptr || window->findChild<QShortcut*>(name) != nullptr)
        return;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window, window, &QWidget::close);
    escape->setObjectName(name);
}
}  // namespace

void Enhanced::on_help() {
    Helpfrm* help = window_.helpfrm();
    if (help == nullptr)
        return;
    close_on_escape(help);
    connect(help, &QObject::destroyed, this, &Enhanced::on_help_closed, Qt::UniqueConnection);
    // Through the game's own pause, so that a recording of the game pauses there too.
    if (!help_paused_ && window_.Timer1().enabled() && !window_.showing_recorded()) {
        help_paused_ = true;
        window_.Pause_Click();
    }
}

void Enhanced::on_help_closed() {
    if (std::exchange(help_paused_, false) && !window_.Timer1().enabled())
        window_.Pause_Click();
}

void Enhanced::on_credits() {
    close_on_escape(window_.avtor());
}

void Enhanced::on_music(bool on) {
    if (sound_ != nullptr)
        sound_->set_enabled(on);
    if (on != options_.sound) {
        options_.sound = on;
        keep();
    }
}

void Enhanced::on_speed_chosen() {
    refresh();
    if (options_.remember_speed && window_.Timer1().interval() != options_.tick_ms) {
        options_.tick_ms = window_.Timer1().interval();
        keep();
    }
}

void Enhanced::keep() {
    if (settings_ != nullptr)
        settings_->save(options_);
}

}  // namespace grimbolt
