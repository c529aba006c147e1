#include "shell/enhanced/best_score.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

#include "replay/locked_store.h"

namespace grimbolt {
namespace {

// The game waits for the lock as it ends: another run holds it only while it writes.
constexpr int kLockWaitMs = 2000;

QString file_in(const QString& folder) {
    return folder + QStringLiteral("/best.json");
}

}  // namespace

BestScore::BestScore(QString folder) : folder_(std::move(folder)) {}

QString BestScore::default_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Grimbolt");
}

std::int32_t BestScore::best() const {
    // Only a regular file of our own is read: a pipe there would hold the game.
    QByteArray text;
    QString why;
    if (!read_head(file_in(folder_), 4096, false, text, why))
        return seen_;
    const QJsonValue best = QJsonDocument::fromJson(text).object().value("best");
    const double kept = best.isDouble() ? best.toDouble() : 0;
    return std::max(seen_, kept >= 0 && kept <= INT32_MAX ? std::int32_t(kept) : 0);
}

std::int32_t BestScore::offer(std::int32_t score) {
    // Two games that end at once would each read the other's best before they write: the
    // file is written under the folder's lock, by the hall's rule. A lock that cannot be
    // had does not cost the player the best score: it is written all the same.
    QDir().mkpath(folder_);
    FolderLock lock(folder_ + QStringLiteral("/best.lock"));
    lock.take(kLockWaitMs);
    const std::int32_t before = best();
    seen_ = std::max(before, score);
    if (score > before)
        write_whole(file_in(folder_), QJsonDocument(QJsonObject{{"best", score}}).toJson());
    return seen_;
}

}  // namespace grimbolt
