#include "shell/online/outbox.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <optional>

#include "replay/script.h"

namespace grimbolt {
namespace {

const char* const kGame = ".script";
const char* const kFate = ".fate";
constexpr qint64 kFateMostBytes = 4096;

bool is_key(const QString& key) {
    return key.size() == 64 && std::all_of(key.begin(), key.end(), [](QChar c) {
               return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                      (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
           });
}

// A regular file of the outbox's own, read whole when it is no larger than `most`.
std::optional<QByteArray> read_own(const QString& path, qint64 most) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() > most)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(most + 1);
    if (bytes.size() > most)
        return std::nullopt;
    return bytes;
}

bool write_whole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

Outbox::Outbox(QString folder) : folder_(std::move(folder)) {}

QString Outbox::default_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Grimbolt/outbox");
}

QString Outbox::key_of(const QByteArray& recording) {
    return QString::fromLatin1(
        QCryptographicHash::hash(recording, QCryptographicHash::Sha256).toHex());
}

QString Outbox::path_of(const QString& key, const char* suffix) const {
    return folder_ + QLatin1Char('/') + key + QLatin1String(suffix);
}

bool Outbox::put(const QByteArray& recording) {
    if (recording.isEmpty() || recording.size() > kRecordingMostBytes)
        return false;
    // Waiting already, or answered for: nothing more to send.
    const QString key = key_of(recording);
    if (!this->recording(key).isEmpty() || QFileInfo::exists(path_of(key, kFate)))
        return true;
    const QFileInfo folder(folder_);
    if (folder.isSymLink() || (!folder.exists() && !QDir().mkpath(folder_)))
        return false;
    return write_whole(path_of(key, kGame), recording);
}

QStringList Outbox::waiting() const {
    QDir dir(folder_);
    if (QFileInfo(folder_).isSymLink())
        return {};
    dir.setFilter(QDir::Files | QDir::NoSymLinks);
    dir.setNameFilters({QStringLiteral("*") + QLatin1String(kGame)});
    dir.setSorting(QDir::Time | QDir::Reversed);
    QStringList keys;
    for (const QFileInfo& file : dir.entryInfoList()) {
        const QString key = file.completeBaseName();
        if (!is_key(key))
            continue;
        // Settled, and stopped before it left: it leaves now.
        if (QFileInfo::exists(path_of(key, kFate))) {
            QFile::remove(file.filePath());
            continue;
        }
        keys << key;
        if (keys.size() == kMostWaiting)
            break;
    }
    return keys;
}

QByteArray Outbox::recording(const QString& key) const {
    if (!is_key(key))
        return {};
    const auto bytes = read_own(path_of(key, kGame), kRecordingMostBytes);
    // A file that is not what its name says was not written by the outbox whole.
    return bytes && key_of(*bytes) == key ? *bytes : QByteArray();
}

void Outbox::put_aside(const QString& key) {
    if (!is_key(key))
        return;
    const QString game = path_of(key, kGame);
    const QString aside = folder_ + QStringLiteral("/damaged");
    const QFileInfo folder(aside);
    if (folder.isSymLink() || (!folder.exists() && !QDir().mkpath(aside)) || !folder.isDir()) {
        QFile::remove(game);
        return;
    }
    const QString there = aside + QLatin1Char('/') + key + QLatin1String(kGame);
    QFile::remove(there);
    if (!QFile::rename(game, there))
        QFile::remove(game);
}

bool Outbox::settle(const QString& key, const Fate& fate) {
    if (!is_key(key))
        return false;
    QJsonObject o;
    if (fate.kind == Fate::Ranked) {
        o.insert(QStringLiteral("rank"), qint64(fate.rank));
        o.insert(QStringLiteral("id"), qint64(fate.id));
    } else {
        o.insert(QStringLiteral("refused"), fate.why.left(300));
    }
    if (!write_whole(path_of(key, kFate), QJsonDocument(o).toJson(QJsonDocument::Compact)))
        return false;
    QFile::remove(path_of(key, kGame));
    return true;
}

Outbox::Fate Outbox::fate(const QString& key) const {
    Fate fate;
    if (!is_key(key))
        return fate;
    if (const auto bytes = read_own(path_of(key, kFate), kFateMostBytes)) {
        const QJsonObject o = QJsonDocument::fromJson(*bytes).object();
        if (o.contains(QStringLiteral("refused"))) {
            fate.kind = Fate::Refused;
            fate.why = o.value(QStringLiteral("refused")).toString().left(300);
            return fate;
        }
        if (o.value(QStringLiteral("rank")).toInteger() > 0) {
            fate.kind = Fate::Ranked;
            fate.rank = o.value(QStringLiteral("rank")).toInteger();
            fate.id = o.value(QStringLiteral("id")).toInteger();
            return fate;
        }
    }
    if (!recording(key).isEmpty())
        fate.kind = Fate::Waiting;
    return fate;
}

}  // namespace grimbolt
