#include "shell/speed_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "replay/script.h"
#include "shell/qt_timer.h"
#include "shell/twips.h"

namespace grimbolt {
SpeedDialog::SpeedDialog(QtTimer& timer, QWidget* parent) : QFrame(parent), timer_(timer) {
    setObjectName(QStringLiteral("speedpic"));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor::fromRgb(kDialogGrey));
    setPalette(grey);
    place(this, 480, 960, 5415, 1455);
    hide();

    okbut_ = new QPushButton(this);
    okbut_->setObjectName(QStringLiteral("Okbut"));
    place(okbut_, 240, 960, 4935, 375);
    hscroll1_ = new QScrollBar(Qt::Horizontal, this);
    hscroll1_->setObjectName(QStringLiteral("HScroll1"));
    hscroll1_->setRange(0, kSliderMost);
    hscroll1_->setValue(0);
    place(hscroll1_, 240, 720, 4935, 135);
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label1_, 240, 360, 3375, 615);
    label1_->lower();  // a label lies beneath the dialog's other controls

    // Keys belong to the game: no control of the dialog takes the focus from it.
    for (QWidget* w : {static_cast<QWidget*>(okbut_), static_cast<QWidget*>(hscroll1_),
                       static_cast<QWidget*>(label1_), static_cast<QWidget*>(this)}) {
        w->setFocusPolicy(Qt::NoFocus);
    }
    connect(hscroll1_, &QScrollBar::valueChanged, this, &SpeedDialog::HScroll1_Change);
    retranslate();
}

void SpeedDialog::retranslate() {
    okbut_->setText(tr("Ок"));
    label1_->setText(tr("Выберите скорость"));
}

void SpeedDialog::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void SpeedDialog::open(QSize client) {
    timer_.set_enabled(false);
    // Centred in the client area by whole twips, each half taken toward zero.
    const std::int32_t scale_width = client.width() * kTwipsPerPixel;
    const std::int32_t scale_height = client.height() * kTwipsPerPixel;
    const std::int32_t left = scale_width / 2 - width() * kTwipsPerPixel / 2;
    const std::int32_t top = scale_height / 2 - height() * kTwipsPerPixel / 2;
    move(int(to_px(left)), int(to_px(top)));
    show();
    raise();
    // A changed position runs HScroll1_Change, as a move by the player would. At the
    // slowest period the position would be -1: the slider stays at 0 and the period is
    // kept.
    hscroll1_->setValue(kSliderMost - timer_.interval());
}

void SpeedDialog::HScroll1_Change() {
    timer_.set_interval(period_of_slider(hscroll1_->value()));
}

}  // namespace grimbolt
