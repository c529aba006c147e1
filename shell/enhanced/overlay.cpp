#include "shell/enhanced/overlay.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace grimbolt {
namespace {

constexpr int kMargin = 16;  // pixels between the text and the edge of its box

}  // namespace

Overlay::Overlay(QWidget* screen) : QWidget(screen) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(screen->rect());
    screen->installEventFilter(this);
    hide();
}

bool Overlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void Overlay::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        update();
}

void Overlay::show_pause() {
    show_sign(Sign::Pause);
}

void Overlay::show_playback() {
    show_sign(Sign::Playback);
}

void Overlay::show_game_over(std::int32_t score, std::int32_t best) {
    if (sign_ == Sign::GameOver && score == score_ && best == best_ && isVisible())
        return;
    score_ = score;
    best_ = best;
    show_sign(Sign::GameOver);
}

void Overlay::clear() {
    sign_ = Sign::None;
    hide();
}

void Overlay::show_sign(Sign sign) {
    if (sign_ == sign && isVisible())
        return;
    sign_ = sign;
    raise();
    show();
    update();
}

QStringList Overlay::lines() const {
    if (!isVisible())
        return {};
    switch (sign_) {
        case Sign::Pause:
            return {tr("ПАУЗА")};
        case Sign::GameOver:
            return {tr("Очки: %1").arg(score_), tr("Рекорд: %1").arg(best_), tr("F2 — новая игра")};
        case Sign::Playback:
            return {tr("Запись: любая клавиша — новая игра")};
        case Sign::None:
            break;
    }
    return {};
}

void Overlay::paintEvent(QPaintEvent*) {
    const QStringList text = lines();
    QPainter painter(this);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(sign_ == Sign::Pause ? 48 : sign_ == Sign::Playback ? 14 : 24);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& line : text)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int height = metrics.lineSpacing() * int(text.size());
    const QRect box(QPoint(0, 0), QSize(width + 2 * kMargin, height + 2 * kMargin));
    const QRect where = sign_ == Sign::Playback ? box.translated(kMargin, kMargin)
                                                : box.translated(rect().center() - box.center());
    painter.fillRect(where, QColor(0, 0, 0, 200));
    painter.setPen(QColor(0, 255, 0));
    painter.drawRect(where.adjusted(0, 0, -1, -1));
    QRect line(where.left(), where.top() + kMargin, where.width(), metrics.lineSpacing());
    for (const QString& row : text) {
        painter.drawText(line, Qt::AlignCenter, row);
        line.translate(0, metrics.lineSpacing());
    }
}

}  // namespace grimbolt
