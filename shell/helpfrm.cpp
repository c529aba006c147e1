#include "shell/helpfrm.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <algorithm>

#include "shell/twips.h"

namespace grimbolt {

Helpfrm::Helpfrm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(px(4680), px(3195));

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(0, 0, px(4575), px(3135));
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setReadOnly(true);  // nothing reads it back, so nothing to edit
    retranslate();
    Form_Resize();
}

void Helpfrm::retranslate() {
    setWindowTitle(tr("Помощь"));
    // One paragraph, ended by a line break.
    text1_->setPlainText(
        tr("Grimbolt (гримболт). Управление: стрелки вправо, влево; взлёт - \"X\"; поднять "
           "оружие (запрет на стрельбу) - \"Z\"; стрелять - \"Shift\". Вы должны уничтожить "
           "монстров. После набора определённого количества очков вас пустят в магазин. Для "
           "того, чтобы попасть в магазин в следующий раз нужно набрать в два раза больше "
           "очков. Цены тоже увеличатся в два раза. Совет: не забывайте покупать топливо!!!") +
        QStringLiteral("\r\n") +
        (keys_text_.isEmpty() ? QString()
                              : QStringLiteral("\r\n") + keys_text_ + QStringLiteral("\r\n")));
}

void Helpfrm::set_keys_text(const QString& text) {
    keys_text_ = text;
    retranslate();
}

void Helpfrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Helpfrm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void Helpfrm::Form_Resize() {
    const QSize client = isMinimized() ? QSize(0, 0) : size();
    text1_->resize(std::max(0, client.width() - text1_->x()),
                   std::max(0, client.height() - text1_->y()));
}

}  // namespace grimbolt
