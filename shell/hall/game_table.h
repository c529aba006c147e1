#pragma once
// What the hall's two pages share: a table of games, and a game's length in its words.

#include <QString>
#include <QtGlobal>

class QTableWidget;

namespace grimbolt {

// A table of `columns` columns whose rows are games: one chosen at a time, none edited,
// no row numbers, each column as wide as its contents and the last taking the rest.
QTableWidget* new_game_table(int columns);

// A game's length as a player says it: minutes and seconds ("4:11").
QString length_of(qint64 seconds);

}  // namespace grimbolt
