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

  signals:
    void keyDown(std::int16_t code, std::int16_t shift);
    void keyUp(std::int16_t code, std::int16_t shift);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool first_receiver(const QObject* watched) const;

    QPointer<QWidget> window_;
};

}  // namespace grimbolt
