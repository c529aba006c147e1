#include "shell/hall_window.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "replay/proof.h"

namespace grimbolt {
namespace {

enum Column { Place, Score, Date, Ticks, Seconds, Proof, Columns };

// A kept game's recording played again: its verdict in the window's words.
QString proof_of(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return HallWindow::tr("не прочитать");
    const QByteArray text = file.readAll();
    const Verdict v = verify({text.constData(), std::size_t(text.size())});
    switch (v.outcome) {
        case Verdict::Proven:
            return HallWindow::tr("доказан");
        case Verdict::Differs:
            return HallWindow::tr("не доказан: %1").arg(v.replayed);
        default:
            return HallWindow::tr("не прочитать");
    }
}

}  // namespace

HallWindow::HallWindow(Hall& hall, QWidget* parent) : QDialog(parent), hall_(hall) {
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, Columns);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Close);
    watch_ = buttons_->addButton(QString(), QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(watch_, &QPushButton::clicked, this, &HallWindow::on_watch);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &HallWindow::on_watch);
    retranslate();
    fill();
    resize(640, 360);

    // One recording proven per turn of the event loop: the window answers meanwhile.
    next_check_.setInterval(0);
    connect(&next_check_, &QTimer::timeout, this, &HallWindow::check_next);
    next_check_.start();
}

void HallWindow::fill() {
    entries_ = hall_.entries();
    table_->setRowCount(int(entries_.size()));
    for (int row = 0; row < int(entries_.size()); ++row) {
        const HallEntry& e = entries_[std::size_t(row)];
        const QDateTime when = QDateTime::fromString(e.date, Qt::ISODate);
        const QString cells[Columns] = {
            QString::number(row + 1),
            QString::number(e.score),
            when.isValid() ? when.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : e.date,
            QString::number(e.ticks),
            QString::number(e.seconds),
            tr("проверяется…")};
        for (int c = 0; c < Columns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != Date && c != Proof)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, item);
        }
    }
    if (!entries_.empty())
        table_->selectRow(0);
    watch_->setEnabled(!entries_.empty());
}

void HallWindow::check_next() {
    if (checked_ >= int(entries_.size())) {
        next_check_.stop();
        return;
    }
    const HallEntry& e = entries_[std::size_t(checked_)];
    table_->item(checked_, Proof)->setText(proof_of(hall_.path_of(e)));
    ++checked_;
}

void HallWindow::on_watch() {
    const int row = table_->currentRow();
    if (row < 0 || row >= int(entries_.size()))
        return;
    emit watch(hall_.path_of(entries_[std::size_t(row)]));
    accept();
}

void HallWindow::retranslate() {
    setWindowTitle(tr("Рекорды"));
    table_->setHorizontalHeaderLabels(
        {tr("Место"), tr("Очки"), tr("Дата"), tr("Тиков"), tr("Секунд"), tr("Проверка")});
    watch_->setText(tr("Смотреть"));
    buttons_->button(QDialogButtonBox::Close)->setText(tr("Закрыть"));
}

void HallWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

}  // namespace grimbolt
