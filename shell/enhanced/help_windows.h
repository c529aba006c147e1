#pragma once
// The help and credits windows in the enhanced edition: both close on Esc, and the game
// waits while the help is open.

#include <QObject>

namespace grimbolt {

class Mainfrm;

class HelpWindows : public QObject {
    Q_OBJECT
  public:
    explicit HelpWindows(Mainfrm& window);

  private:
    void on_help();
    void on_help_closed();
    void on_pause();
    void on_credits();

    Mainfrm& window_;
    bool help_paused_ = false;  // the help window stopped the ticks, and they still stand
};

}  // namespace grimbolt
