#include "shell/hall/game_table.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace grimbolt {

QTableWidget* new_game_table(int columns) {
    auto* table = new QTableWidget(0, columns);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QString length_of(qint64 seconds) {
    // A server's number may be anything; a game is never longer than a few hours.
    seconds = std::clamp<qint64>(seconds, 0, 99 * 3600);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace grimbolt
