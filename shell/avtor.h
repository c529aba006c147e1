#pragma once
// The credits window: a picture, the credit line and an OK button that closes it.

#include <QWidget>

class QLabel;
class QPushButton;

namespace grimbolt {

class Avtor : public QWidget {
    Q_OBJECT
  public:
    // Closing the window destroys it; the next opening creates it anew.
    explicit Avtor(QWidget* parent = nullptr);

    QLabel* Picture1() const { return picture1_; }
    QLabel* Label1() const { return label1_; }
    QPushButton* Command1() const { return command1_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void Command1_Click();
    void retranslate();

    QLabel* picture1_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* command1_ = nullptr;
};

}  // namespace grimbolt
