#include "shell/hall/hall_window.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "replay/keeper.h"
#include "shell/hall/game_table.h"
#include "shell/hall/world_page.h"
#include "shell/online/world_link.h"

namespace grimbolt {
namespace {

enum Column { Place, Earned, Left, Length, Date, Category, Sent, Proof, Columns };

// A kept game's standing in the window's words.
QString proof_of(const HallEntry& e) {
    switch (e.standing) {
        case HallEntry::Proven:
            return HallWindow::tr("✓ доказано");
        case HallEntry::Old:
            return HallWindow::tr("записан до строгих доказательств");
        default:
            return HallWindow::tr("не доказан: %1").arg(e.why);
    }
}

// A category in the window's words: its speed, and the comforts it was played with.
QString category_of(const QString& name) {
    if (name.isEmpty())
        return {};
    QStringList parts = name.split('+');
    QString shown = parts.takeFirst() == QLatin1String("classic") ? HallWindow::tr("классика")
                                                                  : HallWindow::tr("медленно");
    for (const QString& comfort : parts) {
        shown += QLatin1String(", ");
        if (comfort == QLatin1String("safe-start"))
            shown += HallWindow::tr("безопасный старт");
        else if (comfort == QLatin1String("fair-start"))
            shown += HallWindow::tr("честный старт");
        else
            shown += comfort;
    }
    return shown;
}

// What became of a game sent to the world's hall of fame.
QString sent_of(const Outbox::Fate& fate) {
    switch (fate.kind) {
        case Outbox::Fate::Waiting:
            return HallWindow::tr("ждёт отправки");
        case Outbox::Fate::Ranked:
            return HallWindow::tr("место %1").arg(fate.rank);
        case Outbox::Fate::Refused:
            return HallWindow::tr("отказ: %1").arg(fate.why);
        default:
            return HallWindow::tr("не отправлен");
    }
}

}  // namespace

HallWindow::HallWindow(Keeper& keeper, WorldLink* world, QWidget* parent)
    : QDialog(parent), keeper_(keeper), world_(world) {
    auto* window_layout = new QVBoxLayout(this);
    pages_ = new QTabWidget;
    window_layout->addWidget(pages_);
    own_page_ = new QWidget;
    pages_->addTab(own_page_, QString());
    auto* layout = new QVBoxLayout(own_page_);
    table_ = new_game_table(Columns);
    layout->addWidget(table_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    send_ = new QPushButton;
    play_back_ = new QPushButton;
    play_back_->setDefault(true);
    row->addWidget(send_);
    row->addWidget(play_back_);
    layout->addLayout(row);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Close);
    window_layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(play_back_, &QPushButton::clicked, this, &HallWindow::on_play_back);
    connect(send_, &QPushButton::clicked, this, &HallWindow::on_send);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &HallWindow::on_play_back);
    connect(table_, &QTableWidget::currentCellChanged, this, &HallWindow::enable_buttons);
    if (world_ != nullptr) {
        world_page_ = new WorldPage(*world_, keeper_, this);
        pages_->addTab(world_page_, QString());
        connect(world_page_, &WorldPage::watch, this, [this](const QByteArray& recording) {
            emit watch(recording);
            accept();
        });
        // The board is read afresh each time its page is opened.
        connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
            if (pages_->widget(page) == world_page_)
                world_page_->refresh();
        });
        connect(world_, &WorldLink::changed, this, &HallWindow::show_fates);
        connect(world_, &WorldLink::claimed, this, &HallWindow::enable_buttons);
    } else {
        table_->hideColumn(Sent);
        send_->hide();
    }
    enable_buttons();
    retranslate();
    fit();

    // Proving every game may take a while: the window says so, shows them when they are
    // proven, and a window closed meanwhile hears of nothing.
    table_->setRowCount(1);
    table_->setItem(0, Proof, new QTableWidgetItem(tr("проверяется…")));
    keeper_.list([window = QPointer<HallWindow>(this)](const std::vector<HallEntry>& entries) {
        if (window != nullptr)
            window->fill(entries);
    });
}

void HallWindow::fill(const std::vector<HallEntry>& entries) {
    entries_ = entries;
    listed_ = true;
    table_->setRowCount(int(entries_.size()));
    int place = 0;
    for (int row = 0; row < int(entries_.size()); ++row) {
        const HallEntry& e = entries_[std::size_t(row)];
        const bool proven = e.standing == HallEntry::Proven;
        const QDateTime when = QDateTime::fromString(e.date, Qt::ISODate);
        // Only a proven game has a place, points and a length.
        const QString cells[Columns] = {
            proven ? QString::number(++place) : QString(),
            proven ? QString::number(e.earned) : QString(),
            proven ? QString::number(e.score) : QString(),
            proven ? length_of(e.seconds) : QString(),
            when.isValid() ? locale().toString(when, QLocale::ShortFormat) : QString(),
            category_of(e.category),
            QString(),
            proof_of(e)};
        for (int c = 0; c < Columns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != Date && c != Proof && c != Category)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, item);
        }
    }
    show_fates();
    fit();
    if (!entries_.empty())
        table_->selectRow(0);
    enable_buttons();
}

// A kept game's recording, read again as it was proven: never through a link.
QByteArray HallWindow::recording_of(int row) const {
    if (row < 0 || row >= int(entries_.size()) ||
        entries_[std::size_t(row)].standing != HallEntry::Proven)
        return {};
    return read_recording(keeper_.hall().path_of(entries_[std::size_t(row)]), false).bytes;
}

void HallWindow::show_fates() {
    if (world_ == nullptr || !listed_)
        return;
    for (int row = 0; row < int(entries_.size()); ++row) {
        const QByteArray recording = recording_of(row);
        auto* item = new QTableWidgetItem(recording.isEmpty() ? QString()
                                                              : sent_of(world_->fate(recording)));
        table_->setItem(row, Sent, item);
    }
    enable_buttons();
}

// Only a proven game can be played back, and sent once the player has joined a server.
void HallWindow::enable_buttons() {
    const int row = table_->currentRow();
    const bool proven = row >= 0 && row < int(entries_.size()) &&
                        entries_[std::size_t(row)].standing == HallEntry::Proven;
    play_back_->setEnabled(proven);
    if (world_ == nullptr)
        return;
    const QTableWidgetItem* sent = table_->item(row, Sent);
    send_->setEnabled(proven && world_->joined() && sent != nullptr &&
                      sent->text() == sent_of(Outbox::Fate()));
    send_->setToolTip(world_->joined() ? QString() : tr("Войдите на сервер на странице «Мир»"));
}

void HallWindow::on_send() {
    const QByteArray recording = recording_of(table_->currentRow());
    if (!recording.isEmpty() && world_ != nullptr)
        world_->send(recording);
    show_fates();
}

// Ten rows and every column in view, however large the font.
void HallWindow::fit() {
    table_->resizeColumnsToContents();
    const int frame = 2 * table_->frameWidth();
    const int rows = table_->verticalHeader()->defaultSectionSize() * Hall::kPlaces;
    table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() + rows + frame);
    int columns = 0;
    for (int c = 0; c < Columns; ++c)
        columns += table_->horizontalHeader()->sectionSize(c);
    table_->setMinimumWidth(std::min(columns + frame, 1200));
    resize(size().expandedTo(sizeHint()));
}

void HallWindow::on_play_back() {
    const int row = table_->currentRow();
    if (row < 0 || row >= int(entries_.size()) ||
        entries_[std::size_t(row)].standing != HallEntry::Proven)
        return;
    emit play_back(keeper_.hall().path_of(entries_[std::size_t(row)]));
    accept();
}

void HallWindow::retranslate() {
    setWindowTitle(tr("Рекорды"));
    // Dates in the form of the language the window speaks.
    setLocale(QLocale(tr("ru_RU", "the locale whose form dates take")));
    table_->setHorizontalHeaderLabels({tr("Место"), tr("Очки"), tr("Осталось"), tr("Длина"),
                                       tr("Дата"), tr("Категория"), tr("Мир"), tr("Проверка")});
    play_back_->setText(tr("Смотреть"));
    send_->setText(tr("Отправить"));
    pages_->setTabText(0, tr("Мои"));
    if (world_page_ != nullptr)
        pages_->setTabText(1, tr("Мир"));
    buttons_->button(QDialogButtonBox::Close)->setText(tr("Закрыть"));
}

void HallWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        if (listed_)
            fill(entries_);
    }
}

}  // namespace grimbolt
