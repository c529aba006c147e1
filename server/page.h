#pragma once
// The world's boards as a web page: plain HTML with a little CSS, readable on a phone,
// made by the server, with no script. Every name is escaped.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "server/store.h"

namespace grimbolt::server {

QString board_page(const QString& category, const std::vector<BoardEntry>& entries,
                   std::int64_t games, const QStringList& categories);
QString missing_page(const QString& what);

}  // namespace grimbolt::server
