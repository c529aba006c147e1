#pragma once
// The speed dialog: a grey panel on the game's picture with a prompt, the slider that
// sets the time between ticks, and "Ок". The slider's position p gives a period of
// maximum - p + 1 ms, so the right end is the fastest.

#include <QFrame>

class QLabel;
class QPushButton;
class QScrollBar;

namespace grimbolt {

class QtTimer;

class SpeedDialog : public QFrame {
    Q_OBJECT
  public:
    SpeedDialog(QtTimer& timer, QWidget* parent);

    QPushButton* Okbut() const { return okbut_; }
    QScrollBar* HScroll1() const { return hscroll1_; }
    QLabel* Label1() const { return label1_; }

    // Stops the ticks, shows the dialog in the middle of a client area of this many
    // pixels, and puts the slider where the period stands: which takes the period one
    // millisecond longer, as a move of the slider would.
    void open(QSize client);
    // The slider moved, by the player or by open(): the period follows it.
    void HScroll1_Change();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void retranslate();

    QtTimer& timer_;
    QPushButton* okbut_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
    QLabel* label1_ = nullptr;
};

}  // namespace grimbolt
