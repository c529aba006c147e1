#include "replay/hall.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

#include "replay/recorder.h"

namespace grimbolt {
namespace {

const QString kIndex = QStringLiteral("index.json");
const QString kSuffix = QStringLiteral(".script");
// No recording of a game comes near this; a bigger file is not one.
constexpr qint64 kLargestRecording = 64 * 1024 * 1024;

enum Trouble { NoRoom = 1, Rebuilt = 2, Damaged = 4, Locked = 8 };

// The folder's lock. A holder that was killed is seen to be gone at once; one killed
// before it could write who it was leaves an empty lock, taken as stale after a while
// that no keeping of a game comes near.
bool take(QLockFile& lock) {
    lock.setStaleLockTime(3000);
    return lock.tryLock(8000);
}

// The header of a kept recording, or false when it is not one.
bool read_entry(const QString& path, HallEntry& entry) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestRecording)
        return false;
    const QByteArray text = file.readAll();
    const Script script = parse_script({text.constData(), std::size_t(text.size())});
    const ScriptHeader& h = script.header;
    if (h.recording != 1 || !h.has_seed || !script.errors.empty())
        return false;
    entry = HallEntry{QFileInfo(path).fileName(), h.score, QString::fromStdString(h.date), h.ticks,
                      h.seconds};
    return true;
}

// What the index knows of a file, to see that it is still the file it read.
QString stamp_of(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

QJsonObject to_json(const HallEntry& e, const QString& stamp) {
    return {{"file", e.file},   {"score", e.score},     {"date", e.date},
            {"ticks", e.ticks}, {"seconds", e.seconds}, {"stamp", stamp}};
}

bool whole_number(const QJsonValue& v, std::int32_t& out) {
    const double d = v.toDouble();
    if (!v.isDouble() || !(d >= INT32_MIN && d <= INT32_MAX) || d != double(std::int32_t(d)))
        return false;
    out = std::int32_t(d);
    return true;
}

bool from_json(const QJsonValue& v, HallEntry& e) {
    const QJsonObject o = v.toObject();
    e.file = o.value("file").toString();
    e.date = o.value("date").toString();
    return v.isObject() && e.file.endsWith(kSuffix) && !e.file.contains('/') &&
           whole_number(o.value("score"), e.score) && whole_number(o.value("ticks"), e.ticks) &&
           whole_number(o.value("seconds"), e.seconds);
}

}  // namespace

bool better(const HallEntry& a, const HallEntry& b) {
    if (a.score != b.score)
        return a.score > b.score;
    if (a.date != b.date)
        return a.date < b.date;
    return a.file < b.file;
}

Hall::Hall(QString folder, Say say) : folder_(std::move(folder)), say_(std::move(say)) {}

QString Hall::default_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Grimbolt/hall");
}

void Hall::say_once(int kind, const QString& what) {
    if ((said_ & unsigned(kind)) != 0)
        return;
    said_ |= unsigned(kind);
    if (say_)
        say_(what);
}

void Hall::put_aside(const QString& file) {
    const QString aside = folder_ + QStringLiteral("/damaged");
    QDir().mkpath(aside);
    QFile::remove(aside + '/' + file);
    const bool moved = QFile::rename(folder_ + '/' + file, aside + '/' + file);
    if (say_)
        say_(moved ? QStringLiteral("the hall's recording %1 is damaged: put aside in %2")
                         .arg(file, aside)
                   : QStringLiteral("the hall's recording %1 is damaged").arg(file));
}

// Reads the index, and makes it again from the recordings when it is missing, damaged
// or does not list the files there are. Runs under the folder's lock, when it could
// be taken.
std::vector<HallEntry> Hall::load(bool locked) {
    QDir dir(folder_);
    // A write that was killed leaves its unfinished copy; under the lock none is going on.
    for (const QString& left : dir.entryList({QStringLiteral("*.??????")}, QDir::Files)) {
        const bool unfinished = left.contains(kSuffix + '.') || left.startsWith(kIndex + '.');
        if (locked && unfinished && !left.endsWith(QStringLiteral(".bad")))
            dir.remove(left);
    }
    QStringList files = dir.entryList({'*' + kSuffix}, QDir::Files, QDir::Name);
    QFile file(folder_ + '/' + kIndex);
    if (!file.open(QIODevice::ReadOnly))
        return rebuild(false);
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(1 << 20));
    const QJsonArray list = doc.object().value("entries").toArray();
    std::vector<HallEntry> entries;
    bool good = doc.isObject() && doc.object().value("entries").isArray();
    bool behind = false;  // a file changed since the index read it
    for (const QJsonValue& v : list) {
        HallEntry e;
        good = good && from_json(v, e);
        behind = behind || v.toObject().value("stamp").toString() != stamp_of(path_of(e));
        entries.push_back(e);
    }
    if (!good)
        return rebuild(true);
    QStringList listed;
    for (const HallEntry& e : entries)
        listed.push_back(e.file);
    listed.sort();
    if (listed != files || behind)
        return rebuild(false);
    std::sort(entries.begin(), entries.end(), better);
    return entries;
}

std::vector<HallEntry> Hall::rebuild(bool damaged_index) {
    const QString index = folder_ + '/' + kIndex;
    if (damaged_index) {
        QFile::remove(index + QStringLiteral(".bad"));
        QFile::rename(index, index + QStringLiteral(".bad"));
        say_once(Rebuilt, QStringLiteral("the hall's index was damaged: made again from the "
                                         "recordings, the damaged one kept as %1.bad")
                              .arg(index));
    }
    std::vector<HallEntry> entries;
    const QStringList files = QDir(folder_).entryList({'*' + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        HallEntry e;
        if (read_entry(folder_ + '/' + name, e))
            entries.push_back(e);
        else
            put_aside(name);
    }
    std::sort(entries.begin(), entries.end(), better);
    write_index(entries);
    return entries;
}

bool Hall::write_index(const std::vector<HallEntry>& entries) {
    QJsonArray list;
    for (const HallEntry& e : entries)
        list.append(to_json(e, stamp_of(path_of(e))));
    QSaveFile file(folder_ + '/' + kIndex);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QJsonDocument(QJsonObject{{"version", 1}, {"entries", list}}).toJson()) >=
               0 &&
           file.commit();
}

std::vector<HallEntry> Hall::entries() {
    if (!QFileInfo(folder_).isDir())
        return {};
    QLockFile lock(folder_ + QStringLiteral("/.lock"));
    const bool locked = take(lock);
    if (!locked)
        say_once(Locked, QStringLiteral("the hall at %1 stays locked").arg(folder_));
    std::vector<HallEntry> all = load(locked);
    // Games beyond the tenth are left only by a write cut short; the next keeping ends them.
    if (int(all.size()) > kPlaces)
        all.resize(kPlaces);
    return all;
}

bool Hall::offer(const Recording& recording) {
    const auto no_room = [this] {
        say_once(NoRoom, QStringLiteral("this game could not be kept in the hall at %1: the "
                                        "folder cannot be written (full, or read-only)")
                             .arg(folder_));
        return false;
    };
    if (!QDir().mkpath(folder_))
        return no_room();
    QLockFile lock(folder_ + QStringLiteral("/.lock"));
    if (!take(lock)) {
        say_once(Locked, QStringLiteral("the hall at %1 stays locked").arg(folder_));
        return false;
    }
    std::vector<HallEntry> entries = load(true);
    const QString file = recording.name + kSuffix;
    const auto own = std::find_if(entries.begin(), entries.end(),
                                  [&](const HallEntry& e) { return e.file == file; });
    if (own != entries.end()) {
        if (recording.header.score <= own->score)
            return true;  // the place it has is as good
        entries.erase(own);
    }
    const ScriptHeader& h = recording.header;
    const HallEntry entry{file, h.score, QString::fromStdString(h.date), h.ticks, h.seconds};
    if (int(entries.size()) >= kPlaces && !better(entry, entries[kPlaces - 1]))
        return false;

    QSaveFile out(folder_ + '/' + file);
    const std::string text = recording.text();
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), qint64(text.size())) != qint64(text.size()) || !out.commit())
        return no_room();
    entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), better);
    std::vector<HallEntry> out_of_hall;
    while (int(entries.size()) > kPlaces) {
        out_of_hall.push_back(entries.back());
        entries.pop_back();
    }
    // A stale index is made again at the next look; the games are in their files.
    if (!write_index(entries))
        no_room();
    for (const HallEntry& e : out_of_hall)
        QFile::remove(path_of(e));
    return true;
}

}  // namespace grimbolt
