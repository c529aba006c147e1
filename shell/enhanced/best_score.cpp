#include "shell/enhanced/best_score.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

namespace grimbolt {
namespace {

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
    QFile file(file_in(folder_));
    if (!file.open(QIODevice::ReadOnly))
        return seen_;
    const QJsonValue best = QJsonDocument::fromJson(file.read(4096)).object().value("best");
    const double kept = best.isDouble() ? best.toDouble() : 0;
    return std::max(seen_, kept >= 0 && kept <= INT32_MAX ? std::int32_t(kept) : 0);
}

std::int32_t BestScore::offer(std::int32_t score) {
    // Two games that end at once each read the other's best before they write.
    QDir().mkpath(folder_);
    QLockFile lock(folder_ + QStringLiteral("/best.lock"));
    lock.tryLock(2000);
    const std::int32_t before = best();
    seen_ = std::max(before, score);
    if (score <= before)
        return seen_;
    QSaveFile file(file_in(folder_));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(QJsonObject{{"best", score}}).toJson());
        file.commit();
    }
    return seen_;
}

}  // namespace grimbolt
