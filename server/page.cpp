#include "server/page.h"

#include <QUrl>

namespace grimbolt::server {
namespace {

const char* const kStyle =
    "body{font-family:sans-serif;margin:0 auto;max-width:48em;padding:0.5em;"
    "background:#000;color:#3f3}"
    "a{color:#8cf}h1{font-size:1.4em}nav a{margin-right:0.8em}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{padding:0.3em 0.4em;text-align:left;border-bottom:1px solid #262}"
    "td.n{text-align:right}.name{word-break:break-all}"
    "@media (max-width:30em){.wide{display:none}}";

QString head(const QString& title) {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
               "<meta name=\"viewport\" content=\"width=device-width, "
               "initial-scale=1\"><title>%1</title><style>%2</style></head><body>")
        .arg(title.toHtmlEscaped(), QLatin1String(kStyle));
}

}  // namespace

QString board_page(const QString& category, const std::vector<BoardEntry>& entries,
                   std::int64_t games, const QStringList& categories) {
    QString html = head(QStringLiteral("Grimbolt: the world's best, %1").arg(category));
    html += QStringLiteral("<h1>Grimbolt: the world's best games</h1><nav>");
    for (const QString& c : categories) {
        html += c == category
                    ? QStringLiteral("<strong>%1</strong> ").arg(c.toHtmlEscaped())
                    : QStringLiteral("<a href=\"/boards/%1\">%2</a> ")
                          .arg(QString::fromLatin1(QUrl::toPercentEncoding(c)), c.toHtmlEscaped());
    }
    html += QStringLiteral(
                "</nav><p>%1 proven games in <em>%2</em>. Every score here was "
                "played again by the server from its recording.</p>")
                .arg(QString::number(games), category.toHtmlEscaped());
    html += QStringLiteral(
        "<table><thead><tr><th>#</th><th>Name</th><th>Points</th>"
        "<th class=\"wide\">Left</th><th class=\"wide\">Time</th>"
        "<th class=\"wide\">Date</th><th>Game</th></tr></thead><tbody>");
    // Built piece by piece: a name is never read for %-places.
    const auto cell = [](const char* kind, const QString& text) {
        return QStringLiteral("<td class=\"") + QLatin1String(kind) + QStringLiteral("\">") + text +
               QStringLiteral("</td>");
    };
    for (const BoardEntry& e : entries) {
        const QString time = QString::number(e.seconds / 60) + QLatin1Char(':') +
                             QStringLiteral("%1").arg(e.seconds % 60, 2, 10, QLatin1Char('0'));
        html += QStringLiteral("<tr>") + cell("n", QString::number(e.rank)) +
                cell("name", e.name.toHtmlEscaped()) + cell("n", QString::number(e.earned)) +
                cell("n wide", QString::number(e.score)) + cell("n wide", time) +
                cell("wide", e.played.left(10).toHtmlEscaped()) +
                cell("", QStringLiteral("<a href=\"/api/v1/games/") + QString::number(e.id) +
                             QStringLiteral("\" download>recording</a>")) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</tbody></table></body></html>\n");
    return html;
}

QString missing_page(const QString& what) {
    return head(QStringLiteral("Grimbolt: not here")) +
           QStringLiteral(
               "<h1>Not here</h1><p>%1</p><p><a href=\"/\">The world's best</a></p>"
               "</body></html>\n")
               .arg(what.toHtmlEscaped());
}

}  // namespace grimbolt::server
