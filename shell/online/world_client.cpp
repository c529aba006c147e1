#include "shell/online/world_client.h"

#include <QJsonDocument>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrlQuery>
#include <algorithm>

#include "replay/script.h"

namespace grimbolt {
namespace {

// An answer is a recording at most, or a page of a board.
constexpr qint64 kMostAnswerBytes = kRecordingMostBytes + 64 * 1024;

// The server's own words for a refusal: its error and why, or its status.
QString refusal_of(const QJsonObject& body, int status) {
    const QString error = body.value(QStringLiteral("error")).toString().left(100);
    const QString why = body.value(QStringLiteral("why")).toString().left(200);
    if (error.isEmpty())
        return QString::number(status);
    return why.isEmpty() ? error : error + QStringLiteral(": ") + why;
}

bool is_token(const QJsonValue& v) {
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return v.isString() && hex.match(v.toString()).hasMatch();
}

bool is_name(const QJsonValue& v) {
    const QString name = v.toString();
    const QList<uint> points = name.toUcs4();
    return v.isString() && !name.trimmed().isEmpty() && name == name.trimmed() &&
           name.size() <= 64 && std::all_of(points.begin(), points.end(), [](uint c) {
               return QChar::isPrint(char32_t(c));
           });
}

}  // namespace

WorldClient::WorldClient(QObject* parent) : QObject(parent) {
    // http_proxy, https_proxy and no_proxy, as the player's other programs take them.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    network_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    network_.setStrictTransportSecurityEnabled(true);
}

std::optional<QUrl> WorldClient::server_url(const QString& typed) {
    QString text = typed.trimmed();
    if (text.isEmpty() || text.size() > 200)
        return std::nullopt;
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    url.setPath(url.path().endsWith(QLatin1Char('/')) ? url.path().chopped(1) : url.path());
    return url;
}

void WorldClient::join(const QString& name, Reply reply) {
    const QByteArray body =
        QJsonDocument(QJsonObject{{QStringLiteral("name"), name}}).toJson(QJsonDocument::Compact);
    ask(QStringLiteral("/api/v1/players"), "POST", body, {{"Content-Type", "application/json"}},
        true, [reply](Answer a) {
            // A Grimbolt server gives a token of 64 hex digits and the name as it keeps it,
            // a line of printable text, both of which the settings file keeps.
            if (a.kind == Answer::Done && !(is_token(a.body.value(QStringLiteral("token"))) &&
                                            is_name(a.body.value(QStringLiteral("name"))))) {
                a.kind = Answer::Later;
                a.line = tr("не сервер Grimbolt");
            }
            reply(a);
        });
}

void WorldClient::send(const QByteArray& recording, const QString& token, Reply reply) {
    ask(QStringLiteral("/api/v1/games"), "POST", recording,
        {{"Authorization", "Bearer " + token.toLatin1()},
         {"Content-Type", "application/x-grimbolt-recording"}},
        true, [reply](Answer a) {
            if (a.kind == Answer::Done && a.body.value(QStringLiteral("rank")).toInteger() < 1) {
                a.kind = Answer::Later;
                a.line = tr("не сервер Grimbolt");
            }
            reply(a);
        });
}

void WorldClient::board(const QString& category, const QString& around, Reply reply, int best) {
    QString path =
        QStringLiteral("/api/v1/boards/") + QString::fromLatin1(QUrl::toPercentEncoding(category));
    if (!around.isEmpty())
        path += QStringLiteral("?around=") + QString::fromLatin1(QUrl::toPercentEncoding(around));
    else if (best > 0)
        path += QStringLiteral("?limit=%1").arg(best);
    ask(path, "GET", {}, {}, true, std::move(reply));
}

void WorldClient::download(std::int64_t id, Reply reply) {
    ask(QStringLiteral("/api/v1/games/%1").arg(id), "GET", {}, {}, false, std::move(reply));
}

void WorldClient::ask(const QString& path, const QByteArray& verb, const QByteArray& body,
                      const QList<std::pair<QByteArray, QByteArray>>& headers, bool json,
                      Reply reply) {
    if (!server_.isValid()) {
        Answer a;
        a.line = tr("сервер не задан");
        return reply(a);
    }
    QUrl url = server_;
    const qsizetype mark = path.indexOf(QLatin1Char('?'));
    url.setPath(server_.path() + path.left(mark), QUrl::TolerantMode);
    if (mark >= 0)
        url.setQuery(path.mid(mark + 1), QUrl::TolerantMode);
    QNetworkRequest request(url);
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    request.setTransferTimeout(int(deadline_.count()));
    QNetworkReply* answer = network_.sendCustomRequest(request, verb, body);
    // The transfer's deadline is for silence; this one is for the whole answer, so that
    // a server sending a byte at a time ends too.
    QTimer::singleShot(deadline_ * 2, answer, [answer] { answer->abort(); });
    connect(answer, &QNetworkReply::downloadProgress, answer, [answer](qint64 got, qint64) {
        if (got > kMostAnswerBytes) {
            answer->setProperty("too_large", true);
            answer->abort();
        }
    });
    connect(answer, &QNetworkReply::finished, this, [answer, json, reply] {
        answer->deleteLater();
        Answer a;
        a.status = answer->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray bytes =
            answer->isOpen() ? answer->read(kMostAnswerBytes + 1) : QByteArray();
        // An answer cut off, for its size or its time, is no answer, whatever its status.
        if (answer->property("too_large").toBool()) {
            a.line = tr("не сервер Grimbolt");
            return reply(a);
        }
        if (a.status == 0 || answer->error() == QNetworkReply::OperationCanceledError) {
            a.line = answer->error() == QNetworkReply::OperationCanceledError
                         ? tr("сервер не ответил вовремя")
                         : tr("сервер не отвечает");
            return reply(a);
        }
        if (bytes.size() > kMostAnswerBytes) {
            a.line = tr("не сервер Grimbolt");
            return reply(a);
        }
        QJsonParseError parsed{};
        if (json)
            a.body = QJsonDocument::fromJson(bytes, &parsed).object();
        else
            a.bytes = bytes;
        if (a.status >= 300 && a.status < 400) {
            a.line = tr("сервер отсылает в другое место");
        } else if (a.status >= 200 && a.status < 300) {
            a.kind =
                json && parsed.error != QJsonParseError::NoError ? Answer::Later : Answer::Done;
            if (a.kind == Answer::Later)
                a.line = tr("не сервер Grimbolt");
        } else if (a.status >= 400 && a.status < 500 && a.status != 429) {
            a.kind =
                json && parsed.error == QJsonParseError::NoError ? Answer::Refused : Answer::Later;
            a.line =
                a.kind == Answer::Refused ? refusal_of(a.body, a.status) : tr("не сервер Grimbolt");
        } else {
            a.line = tr("сервер занят (%1), позже").arg(a.status);
        }
        reply(a);
    });
}

}  // namespace grimbolt
