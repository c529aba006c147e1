#pragma once
// The help window: how to play, in a text box that always fills the window.

#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace grimbolt {

class Helpfrm : public QWidget {
    Q_OBJECT
  public:
    // Closing the window destroys it; the next opening starts from the layout again.
    explicit Helpfrm(QWidget* parent = nullptr);

    QPlainTextEdit* Text1() const { return text1_; }
    // A paragraph after the text: the player's keys, in the enhanced edition.
    void set_keys_text(const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Fits the text box to the client area, which is empty while minimized.
    void Form_Resize();
    void retranslate();

    QPlainTextEdit* text1_ = nullptr;
    QString keys_text_;
};

}  // namespace grimbolt
