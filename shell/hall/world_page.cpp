#include "shell/hall/world_page.h"

#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "replay/keeper.h"
#include "replay/proof.h"
#include "shell/hall/game_table.h"
#include "shell/online/world_link.h"

namespace grimbolt {
namespace {

enum BoardColumn { Rank, Player, Points, Kept, Time, Played, BoardColumns };

// A board's page holds a hundred games at most; a server that sends more is not ours.
constexpr int kMostRows = 200;
// The world's best shown above the player's own place, as many as the hall keeps.
constexpr int kBest = 10;

// A board's entry as the server gave it, or nothing when it is not one.
bool is_entry(const QJsonValue& v) {
    const QJsonObject o = v.toObject();
    return o.value(QStringLiteral("rank")).toInteger() >= 1 &&
           o.value(QStringLiteral("id")).toInteger() >= 1 &&
           o.value(QStringLiteral("name")).isString();
}

}  // namespace

WorldPage::WorldPage(WorldLink& world, Keeper& keeper, QWidget* parent)
    : QWidget(parent), world_(world), keeper_(keeper) {
    auto* layout = new QVBoxLayout(this);
    auto* account_row = new QHBoxLayout;
    account_ = new QLabel;
    account_->setTextFormat(Qt::PlainText);  // a name is a name, never markup
    change_ = new QPushButton;
    account_row->addWidget(account_, 1);
    account_row->addWidget(change_);
    layout->addLayout(account_row);

    form_ = new QWidget;
    auto* form = new QHBoxLayout(form_);
    form->setContentsMargins(0, 0, 0, 0);
    server_label_ = new QLabel;
    server_ = new QLineEdit(world_.account().server);
    server_->setPlaceholderText(QStringLiteral("hall.example.org"));
    server_label_->setBuddy(server_);
    name_label_ = new QLabel;
    name_ = new QLineEdit(world_.account().name);
    name_->setMaxLength(24);
    name_label_->setBuddy(name_);
    join_ = new QPushButton;
    form->addWidget(server_label_);
    form->addWidget(server_, 2);
    form->addWidget(name_label_);
    form->addWidget(name_, 1);
    form->addWidget(join_);
    layout->addWidget(form_);

    board_ = new_game_table(BoardColumns);
    // Rows of one line each, so the best and the player's own place show together.
    board_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The rows get their heights after they are filled: the chosen one is brought into
    // view once the scroll bar knows them.
    connect(board_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (board_->currentItem() != nullptr)
            board_->scrollToItem(board_->currentItem(), QAbstractItemView::PositionAtCenter);
    });
    layout->addWidget(board_, 1);

    auto* buttons = new QHBoxLayout;
    status_ = new QLabel;
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    refresh_ = new QPushButton;
    watch_ = new QPushButton;
    watch_->setEnabled(false);
    buttons->addWidget(status_, 1);
    buttons->addWidget(refresh_);
    buttons->addWidget(watch_);
    layout->addLayout(buttons);

    connect(change_, &QPushButton::clicked, this, [this] {
        form_->setVisible(!form_->isVisible());
        server_->setFocus();
    });
    connect(join_, &QPushButton::clicked, this, [this] {
        say(tr("вход…"));
        world_.join(server_->text(), name_->text());
    });
    connect(name_, &QLineEdit::returnPressed, join_, &QPushButton::click);
    connect(&world_, &WorldLink::claimed, this, [this] {
        say(QString());
        show_account();
        refresh();
    });
    connect(&world_, &WorldLink::said, this, &WorldPage::say);
    connect(refresh_, &QPushButton::clicked, this, &WorldPage::refresh);
    connect(watch_, &QPushButton::clicked, this, &WorldPage::on_watch);
    connect(board_, &QTableWidget::cellDoubleClicked, this, &WorldPage::on_watch);
    connect(board_, &QTableWidget::currentCellChanged, this, &WorldPage::enable_watch);
    retranslate();
    show_account();
}

void WorldPage::show_account() {
    const WorldLink::Account& a = world_.account();
    form_->setVisible(!world_.joined());
    change_->setVisible(world_.joined());
    if (world_.joined())
        account_->setText(tr("Вы — %1 на %2").arg(a.name, a.server));
    else
        account_->setText(tr("Впишите адрес сервера мировых рекордов и имя, чтобы войти."));
}

void WorldPage::say(const QString& line) {
    status_->setText(line);
}

void WorldPage::refresh() {
    if (!world_.client().server().isValid())
        return;
    rows_.clear();
    const int reading = ++reading_;
    say(tr("загружается…"));
    read(QString(), reading);
    if (world_.joined())
        read(world_.account().name, reading);
}

// Reads the board's first page, or the games around a player's best, and shows what
// has come so far: the answers may come in either order.
void WorldPage::read(const QString& around, int reading) {
    world_.client().board(
        QString::fromLatin1(kHeadline.data(), qsizetype(kHeadline.size())), around,
        [page = QPointer<WorldPage>(this), around, reading](const WorldClient::Answer& a) {
            if (page == nullptr || reading != page->reading_)
                return;
            // A player with no game on the board yet has no place to show.
            if (a.kind != WorldClient::Answer::Done) {
                if (around.isEmpty() || a.status != 404)
                    page->say(a.line);
                return;
            }
            std::map<qint64, QJsonObject> games;
            for (const QJsonObject& o : page->rows_)
                if (!o.isEmpty())
                    games[o.value(QStringLiteral("rank")).toInteger()] = o;
            for (const QJsonValue& v : a.body.value(QStringLiteral("entries")).toArray())
                if (is_entry(v) && int(games.size()) < kMostRows)
                    games[v.toObject().value(QStringLiteral("rank")).toInteger()] = v.toObject();
            page->rows_.clear();
            qint64 last = 0;
            for (const auto& [rank, o] : games) {
                if (rank > last + 1 && last > 0)
                    page->rows_.push_back(QJsonObject());
                page->rows_.push_back(o);
                last = rank;
            }
            if (around.isEmpty())
                page->say(QString());
            page->fill();
        },
        around.isEmpty() ? kBest : 0);
}

void WorldPage::fill() {
    board_->setRowCount(int(rows_.size()));
    const QString own = world_.account().name;
    int own_row = -1;
    for (int row = 0; row < int(rows_.size()); ++row) {
        const QJsonObject& o = rows_[std::size_t(row)];
        QString cells[BoardColumns];
        if (o.isEmpty())
            cells[Rank] = QStringLiteral("…");
        else {
            const QDateTime when =
                QDateTime::fromString(o.value(QStringLiteral("date")).toString(), Qt::ISODate);
            cells[Rank] = QString::number(o.value(QStringLiteral("rank")).toInteger());
            cells[Player] = o.value(QStringLiteral("name")).toString().left(64);
            cells[Points] = QString::number(o.value(QStringLiteral("earned")).toInteger());
            cells[Kept] = QString::number(o.value(QStringLiteral("score")).toInteger());
            cells[Time] = length_of(o.value(QStringLiteral("seconds")).toInteger());
            cells[Played] =
                when.isValid() ? locale().toString(when, QLocale::ShortFormat) : QString();
        }
        const bool mine = !o.isEmpty() && !own.isEmpty() && cells[Player] == own;
        if (mine && own_row < 0)
            own_row = row;
        for (int c = 0; c < BoardColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != Player && c != Played)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (mine) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            board_->setItem(row, c, item);
        }
    }
    board_->resizeColumnsToContents();
    // The player's own place chosen and in view, below the world's best.
    if (own_row >= 0)
        board_->setCurrentCell(own_row, Rank);
    enable_watch();
    emit shown();
}

// Any game of the board can be watched; the gap between places cannot.
void WorldPage::enable_watch() {
    const int row = board_->currentRow();
    watch_->setEnabled(row >= 0 && row < int(rows_.size()) && !rows_[std::size_t(row)].isEmpty());
}

void WorldPage::on_watch() {
    const int row = board_->currentRow();
    if (row < 0 || row >= int(rows_.size()) || rows_[std::size_t(row)].isEmpty())
        return;
    const qint64 id = rows_[std::size_t(row)].value(QStringLiteral("id")).toInteger();
    say(tr("загружается…"));
    watch_->setEnabled(false);
    const QPointer<WorldPage> page(this);
    world_.client().download(id, [page](const WorldClient::Answer& a) {
        if (page == nullptr)
            return;
        page->watch_->setEnabled(true);
        if (a.kind != WorldClient::Answer::Done)
            return page->say(a.line);
        page->say(tr("проверяется…"));
        // The recording is played here by the rules before it is shown: the server's
        // word is not taken for it.
        page->keeper_.prove(a.bytes, [page, bytes = a.bytes](const Verdict& v) {
            if (page == nullptr)
                return;
            if (v.outcome != Verdict::Proven)
                return page->say(tr("не доказана: %1").arg(QString::fromStdString(v.why)));
            page->say(QString());
            emit page->watch(bytes);
        });
    });
}

void WorldPage::retranslate() {
    change_->setText(tr("Сменить…"));
    server_label_->setText(tr("Сервер:"));
    name_label_->setText(tr("Имя:"));
    join_->setText(tr("Войти"));
    board_->setHorizontalHeaderLabels(
        {tr("Место"), tr("Игрок"), tr("Очки"), tr("Осталось"), tr("Длина"), tr("Дата")});
    refresh_->setText(tr("Обновить"));
    watch_->setText(tr("Смотреть"));
    show_account();
}

void WorldPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        fill();
    }
}

}  // namespace grimbolt
