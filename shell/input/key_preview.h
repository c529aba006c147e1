#pragma once
// Hands every key of one window to the game first, whichever child has the focus,
// as the game's own key codes. Repeats of a held key count as key-downs; the release
// half of an X11 auto-repeat pair is not a release.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace grimbolt {

class KeyPreview : public QObject {
    Q_OBJECT
  public:
    explicit KeyPreview(QWidget* window);

    // While the menu bar has the keyboard (after Alt), the keys go down in the menus and
    // not in the game; their releases still reach the game, so that nothing it holds
    // sticks. Off: the game takes its keys whatever has the focus.
    void set_menus_first(bool on) { menus_first_ = on; }

  signals:
    void keyDown(std::int16_t code, std::int16_t shift);
    void keyUp(std::int16_t code, std::int16_t shift);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool first_receiver(const QObject* watched) const;

    QPointer<QWidget> window_;
    bool menus_first_ = false;
};

}  // namespace grimbolt
