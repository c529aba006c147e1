#include "server/config.h"

#include <boost/asio/ip/address.hpp>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace grimbolt::server {
namespace {

struct Number {
    const char* name;
    const char* about;
    std::int64_t least;
    std::int64_t most;
};

// The limits a number may take: none may turn a limit off.
constexpr Number kNumbers[] = {
    {"port", "The port to listen on (0: any free one).", 0, 65535},
    {"threads", "Threads that serve HTTP.", 1, 64},
    {"provers", "Threads that prove recordings (0: one a core).", 0, 256},
    {"queue", "Recordings that may wait for a prover; more are told to come back.", 1, 100000},
    {"per-minute", "Requests a client may make a minute.", 1, 1000000},
    {"uploads-per-minute", "Games and names a client may send a minute.", 1, 1000000},
    {"games-per-day", "New games one player may have kept in a day.", 1, 1000000},
    {"body-bytes", "The largest request body taken, in bytes.", 1024, 64 * 1024 * 1024},
    {"connections", "Connections open at once.", 1, 100000},
    {"bodies-bytes", "Bytes of request bodies read at once, in all; more wait their turn.",
     64 * 1024, std::int64_t(1) << 36},
    {"read-timeout", "Seconds a client has to send a request's body.", 1, 3600},
    {"idle-timeout", "Seconds a connection may wait for its next request.", 1, 3600},
};

}  // namespace

QString ServerConfig::store() const {
    return database.isEmpty() ? QDir(data).filePath(QStringLiteral("grimbolt-world.sqlite"))
                              : database;
}

std::optional<ServerConfig> read_config(const QStringList& arguments, QString* message,
                                        bool* error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The Grimbolt world hall of fame: takes recorded games over HTTP, proves each one by "
        "playing it again, and shows the proven ones on boards, per category, as JSON and "
        "as a web page."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("config"),
                      QStringLiteral("Read options from this INI file "
                                     "(section [server]; the command "
                                     "line wins)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("listen"),
                      QStringLiteral("The address to listen on (default 127.0.0.1)."),
                      QStringLiteral("address")});
    parser.addOption({QStringLiteral("data"),
                      QStringLiteral("Keep the games in an SQLite database in this folder."),
                      QStringLiteral("folder")});
    parser.addOption({QStringLiteral("database"),
                      QStringLiteral("Keep the games in PostgreSQL: postgresql://user:password@"
                                     "host:port/name, or ?host=/socket/folder."),
                      QStringLiteral("url")});
    parser.addOption({QStringLiteral("proxy"),
                      QStringLiteral("A reverse proxy whose X-Forwarded-For is believed "
                                     "(repeatable)."),
                      QStringLiteral("address")});
    for (const Number& n : kNumbers)
        parser.addOption(
            {QString::fromLatin1(n.name), QString::fromLatin1(n.about), QStringLiteral("n")});
    *error = true;
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = false;
        *message = parser.helpText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        *error = false;
        *message = QCoreApplication::applicationName() + QLatin1Char(' ') +
                   QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }

    // A value from the command line, or else from the file.
    std::optional<QSettings> file;
    if (parser.isSet(QStringLiteral("config"))) {
        const QString path = parser.value(QStringLiteral("config"));
        if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
            *message = QStringLiteral("cannot read the configuration file %1").arg(path);
            return std::nullopt;
        }
        file.emplace(path, QSettings::IniFormat);
        file->beginGroup(QStringLiteral("server"));
    }
    const auto value = [&](const char* name) -> std::optional<QString> {
        const QString key = QString::fromLatin1(name);
        if (parser.isSet(key))
            return parser.value(key);
        if (file && file->contains(key)) {
            // "1,2" is a list to QSettings: its text as written, to be refused as such.
            const QVariant v = file->value(key);
            return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                        : v.toString();
        }
        return std::nullopt;
    };

    ServerConfig config;
    if (const auto v = value("listen"))
        config.address = *v;
    if (const auto v = value("data"))
        config.data = *v;
    if (const auto v = value("database"))
        config.database = *v;
    config.proxies = parser.values(QStringLiteral("proxy"));
    if (config.proxies.isEmpty() && file && file->contains(QStringLiteral("proxy")))
        config.proxies = file->value(QStringLiteral("proxy")).toStringList();
    for (const QString& proxy : config.proxies) {
        boost::system::error_code ec;
        boost::asio::ip::make_address(proxy.trimmed().toStdString(), ec);
        if (ec) {
            *message = QStringLiteral("--proxy takes a proxy's address, not \"%1\"").arg(proxy);
            return std::nullopt;
        }
    }
    for (const Number& n : kNumbers) {
        const auto v = value(n.name);
        if (!v)
            continue;
        bool number = false;
        const qlonglong x = v->trimmed().toLongLong(&number);
        if (!number || x < n.least || x > n.most) {
            *message = QStringLiteral("--%1 takes a number from %2 to %3, not \"%4\"")
                           .arg(QLatin1String(n.name))
                           .arg(n.least)
                           .arg(n.most)
                           .arg(*v);
            return std::nullopt;
        }
        const QLatin1String name(n.name);
        if (name == QLatin1String("port"))
            config.port = std::uint16_t(x);
        else if (name == QLatin1String("threads"))
            config.http.threads = int(x);
        else if (name == QLatin1String("provers"))
            config.provers = int(x);
        else if (name == QLatin1String("queue"))
            config.queue = int(x);
        else if (name == QLatin1String("per-minute"))
            config.per_minute = int(x);
        else if (name == QLatin1String("uploads-per-minute"))
            config.uploads_per_minute = int(x);
        else if (name == QLatin1String("games-per-day"))
            config.games_per_day = int(x);
        else if (name == QLatin1String("body-bytes"))
            config.http.body_bytes = std::size_t(x);
        else if (name == QLatin1String("bodies-bytes"))
            config.http.bodies_bytes = std::size_t(x);
        else if (name == QLatin1String("connections"))
            config.http.connections = int(x);
        else if (name == QLatin1String("read-timeout"))
            config.http.read_timeout = std::chrono::seconds(x);
        else if (name == QLatin1String("idle-timeout"))
            config.http.idle_timeout = std::chrono::seconds(x);
    }
    if (config.data.isEmpty() && config.database.isEmpty()) {
        *message = QStringLiteral(
            "say where to keep the games: --data FOLDER (SQLite) or "
            "--database postgresql://...");
        return std::nullopt;
    }
    *error = false;
    return config;
}

}  // namespace grimbolt::server
