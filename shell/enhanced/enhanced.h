#pragma once
// The enhanced edition: the classic main window with one more menu, "Параметры", and
// the comforts a player turns on there, kept between runs. With every comfort off the
// game plays exactly as the classic.

#include <QObject>
#include <QPointer>
#include <QTranslator>
#include <cstdint>

#include "shell/enhanced/options_dialog.h"
#include "shell/enhanced/settings.h"
#include "shell/hall/hall_window.h"
#include "shell/hall/playback.h"

class QAction;
class QMenu;

namespace grimbolt {

class Audio;
class BestScore;
class GameSound;
class Hall;
class Keeper;
class Mainfrm;
class Overlay;
class Recorder;

class Enhanced : public QObject {
    Q_OBJECT
  public:
    // `settings` keeps the options and `best` the best score; either may be null, and
    // then nothing is kept (a replayed game). `options` are those to start with. The
    // game's sounds play through `audio` when there is one.
    Enhanced(Mainfrm& window, Options options, Settings* settings, BestScore* best,
             Audio* audio = nullptr);

    // Shows the window maximized, or in full screen where the last run left it so and
    // the player keeps full screen between runs.
    void show();

    const Options& options() const { return options_; }
    // The options as the player chose them: the signs at once, the safe start from the
    // next game; kept when there is somewhere to keep them.
    void set_options(const Options& options);

    // "Параметры" > "Параметры…", and the window it opens while that is open.
    QAction* Settings_Item = nullptr;
    void Settings_Click();
    OptionsDialog* options_dialog() const { return dialog_; }

    // Records every game and offers each that ends to the hall of fame, whose window
    // "Параметры" > "Рекорды…" opens.
    void keep_games(Recorder& recorder, Hall& hall);
    QAction* Hall_Item = nullptr;
    void Hall_Click();
    HallWindow* hall_window() const { return hall_window_; }
    Keeper* keeper() const { return keeper_; }
    // Shows a recorded game in the main window; false when the file is no recording.
    bool play_back(const QString& path);
    Playback* playback() const { return playback_; }

    Overlay* overlay() const { return overlay_; }
    GameSound* sound() const { return sound_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // After every event: a death shows the summary, a pause the sign.
    void refresh();
    void on_new_game();
    void on_pause();
    void on_speed_chosen();
    void on_music(bool on);
    // The help window pauses the game while it is open; it and the credits close on Esc.
    void on_help();
    void on_help_closed();
    void on_credits();
    void keep();
    // Russian, the source, or English through Qt's translations; every window follows.
    void use_language(const QString& language);
    void retranslate();

    Mainfrm& window_;
    Options options_;
    Settings* settings_;
    BestScore* best_;
    Overlay* overlay_ = nullptr;
    GameSound* sound_ = nullptr;
    QPointer<OptionsDialog> dialog_;
    Keeper* keeper_ = nullptr;  // a child: it waits for the games handed over as it goes
    QPointer<HallWindow> hall_window_;
    QPointer<Playback> playback_;
    QMenu* menu_ = nullptr;
    QTranslator english_;
    bool english_installed_ = false;
    std::uint32_t deaths_seen_ = 0;
    std::int32_t best_seen_ = 0;
    bool paused_ = false;       // the pause command stopped the ticks, and they still stand
    bool game_over_ = false;    // the robot was shot down in this game
    bool help_paused_ = false;  // the help window stopped the ticks, and they still stand
};

}  // namespace grimbolt
