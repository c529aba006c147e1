#pragma once
// The enhanced edition's menu "Параметры" and what the player's options do: the options
// window, the language, the sound switch (the Music item), the comforts the game reads,
// and the speed and full screen kept between runs.

#include <QObject>
#include <QPointer>
#include <QTranslator>

#include "shell/enhanced/keys_dialog.h"
#include "shell/enhanced/options_dialog.h"
#include "shell/enhanced/settings.h"

class QAction;
class QMenu;

namespace grimbolt {

class Gamepad;
class Mainfrm;

class OptionsMenu : public QObject {
    Q_OBJECT
  public:
    // `settings` keeps the options; null: nothing is kept (a replayed game). `options`
    // are those to start with.
    OptionsMenu(Mainfrm& window, Options options, Settings* settings);

    // Shows the window maximized, or in full screen where the last run left it so and
    // the player keeps full screen between runs.
    void show();

    const Options& options() const { return options_; }
    // The options as the player chose them: the signs at once, the comforts from the
    // next game; kept when there is somewhere to keep them.
    void set_options(const Options& options);

    QMenu* menu() const { return menu_; }
    // "Параметры…", and the window it opens while that is open.
    QAction* options_item = nullptr;
    void open_options();
    OptionsDialog* options_dialog() const { return dialog_; }
    // "Клавиши…", and the keys window while it is open.
    QAction* keys_item = nullptr;
    void open_keys();
    KeysDialog* keys_dialog() const { return keys_dialog_; }
    // The pads play with the player's buttons and drive the keys window.
    void use_gamepad(Gamepad& pad);

  signals:
    // The options changed: what they show is shown anew.
    void changed();
    // The sound was turned on or off.
    void sound_switched(bool on);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void on_new_game();
    void on_speed_chosen();
    void on_music(bool on);
    // Russian, the source, or English through Qt's translations; every window follows.
    void use_language(const QString& language);
    void retranslate();
    void keep();

    Mainfrm& window_;
    Options options_;
    Settings* settings_;
    QMenu* menu_ = nullptr;
    QPointer<OptionsDialog> dialog_;
    QPointer<KeysDialog> keys_dialog_;
    QPointer<Gamepad> pad_;
    QTranslator english_;
    bool english_installed_ = false;
};

}  // namespace grimbolt
