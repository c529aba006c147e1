#include "shell/overlay.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <utility>

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

void Overlay::show_pause() {
    show_lines({QStringLiteral("ПАУЗА")}, 48);
}

void Overlay::show_game_over(std::int32_t score, std::int32_t best) {
    show_lines(
        {QStringLiteral("Очки: ") + QString::number(score),
         QStringLiteral("Рекорд: ") + QString::number(best), QStringLiteral("F2 — новая игра")},
        24);
}

void Overlay::clear() {
    hide();
    lines_.clear();
}

void Overlay::show_lines(QStringList lines, int point_size) {
    lines_ = std::move(lines);
    point_size_ = point_size;
    raise();
    show();
    update();
}

void Overlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(point_size_);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& line : lines_)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int height = metrics.lineSpacing() * int(lines_.size());
    const QRect box(QPoint(0, 0), QSize(width + 2 * kMargin, height + 2 * kMargin));
    const QRect where = box.translated(rect().center() - box.center());
    painter.fillRect(where, QColor(0, 0, 0, 200));
    painter.setPen(QColor(0, 255, 0));
    painter.drawRect(where.adjusted(0, 0, -1, -1));
    QRect line(where.left(), where.top() + kMargin, where.width(), metrics.lineSpacing());
    for (const QString& text : lines_) {
        painter.drawText(line, Qt::AlignCenter, text);
        line.translate(0, metrics.lineSpacing());
    }
}

}  // namespace grimbolt
