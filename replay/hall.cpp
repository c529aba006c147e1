#include "replay/hall.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

#include "replay/locked_store.h"
#include "replay/recording.h"

namespace grimbolt {
namespace {

const QString kIndex = QStringLiteral("index.json");
const QString kSuffix = QStringLiteral(".script");
const QString kLock = QStringLiteral(".lock");
const QString kAside = QStringLiteral("damaged");
constexpr qint64 kLargestIndex = 1 << 20;
// The work one look at the hall may spend on proofs, in steps of play: about four times
// the largest recording, and a byte read is a hundredth of a step.
constexpr std::int64_t kProofBudget = 4 * kRecordingMostSteps;
constexpr std::int64_t kBytesPerStep = 100;
// Another game holds the lock only while it writes: a longer wait is a game stuck.
constexpr int kLockWaitMs = 8000;

enum Trouble { NoRoom = 1, Rebuilt = 2, Damaged = 4, Locked = 8, Strange = 16, Unproven = 32 };

// Reads a regular file of the hall, never through a link; at most `most` bytes.
bool read_plain(const QString& path, qint64 most, QByteArray& text) {
    QString why;
    return read_regular(path, most, false, text, why);
}

// A recording of the hall, read as any recording is but never through a link.
RecordingFile read_kept(const QString& path) {
    return read_recording(path, false);
}

// The game a file keeps: its name up to the first dot.
QString game_of(const QString& file) {
    return file.section('.', 0, 0);
}

// The header of a kept recording, as it claims, or false when it is not one.
// Only the file's head is read: the header comes first.
bool read_entry(const QString& path, HallEntry& entry) {
    constexpr qint64 kHead = 64 * 1024;
    RecordingFile file;
    file.read = read_head(path, kHead + 1, false, file.bytes, file.why);
    if (!file.read)
        return false;
    if (file.bytes.size() > kHead)
        file.bytes.truncate(file.bytes.lastIndexOf('\n', kHead) + 1);
    const Script script = file.script();
    const ScriptHeader& h = script.header;
    if (h.recording == 0 || !h.has_seed || !script.errors.empty())
        return false;
    entry = HallEntry{};
    entry.file = QFileInfo(path).fileName();
    entry.score = h.score;
    entry.earned = h.has_earned ? h.earned : h.score;
    entry.date = QString::fromStdString(h.date);
    entry.ticks = h.ticks;
    entry.seconds = h.seconds;
    return true;
}

// What the index knows of a file, to see that it is still the file it read.
QString stamp_of(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

QJsonObject to_json(const HallEntry& e, const QString& stamp) {
    return {{"file", e.file},   {"score", e.score},     {"earned", e.earned}, {"date", e.date},
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
    const bool read = v.isObject() && e.file.endsWith(kSuffix) && !e.file.contains('/') &&
                      whole_number(o.value("score"), e.score) &&
                      whole_number(o.value("ticks"), e.ticks) &&
                      whole_number(o.value("seconds"), e.seconds);
    // An index written before games counted their points knows only the score.
    if (!whole_number(o.value("earned"), e.earned))
        e.earned = e.score;
    return read;
}

int rank_of(HallEntry::Standing s) {
    return s == HallEntry::Proven ? 0 : s == HallEntry::Old ? 1 : 2;
}

}  // namespace

bool better(const HallEntry& a, const HallEntry& b) {
    if (a.standing != b.standing)
        return rank_of(a.standing) < rank_of(b.standing);
    if (a.earned != b.earned)
        return a.earned > b.earned;
    if (a.date != b.date)
        return a.date < b.date;
    return a.file < b.file;
}

Hall::Hall(QString folder, Say say, Prove prove)
    : folder_(std::move(folder)), say_(std::move(say)), prove_(std::move(prove)) {}

QString Hall::default_folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Grimbolt/hall");
}

QString Hall::index_path() const {
    return path_of(kIndex);
}

QString Hall::lock_path() const {
    return path_of(kLock);
}

QString Hall::aside_folder() const {
    return path_of(kAside);
}

void Hall::say_once(int kind, const QString& what) {
    {
        const QMutexLocker hold(&mutex_);
        if ((said_ & unsigned(kind)) != 0)
            return;
        said_ |= unsigned(kind);
    }
    if (say_)
        say_(what);
}

void Hall::put_aside(const QString& file) {
    const QString aside = aside_folder();
    const mode_t kind = kind_of(aside);
    if (kind == 0)
        QDir(folder_).mkdir(kAside);
    // Only into a folder of the hall's own: a link there could lead anywhere.
    const bool moved = kind_of(aside) == S_IFDIR && kind_of(aside + '/' + file) == 0 &&
                       QFile::rename(path_of(file), aside + '/' + file);
    if (!moved)
        QFile::remove(path_of(file) + QStringLiteral(".bad"));
    const bool kept = moved || QFile::rename(path_of(file), path_of(file) + QStringLiteral(".bad"));
    if (say_)
        say_(kept ? QStringLiteral("the hall's recording %1 is damaged: put aside")
                        .arg(printable(file))
                  : QStringLiteral("the hall's recording %1 is damaged").arg(printable(file)));
}

// Each kind of trouble with the lock is said once; a lock that is no file, at once.
bool Hall::take_lock(FolderLock& lock) {
    switch (lock.take(kLockWaitMs)) {
        case FolderLock::Taken:
            return true;
        case FolderLock::NotAFile:
            say_once(Locked, QStringLiteral("the hall's lock %1 is not a file: no game can be "
                                            "kept until it is removed")
                                 .arg(printable(lock.path())));
            break;
        case FolderLock::Held:
            say_once(Locked, QStringLiteral("the hall at %1 stays locked by another game")
                                 .arg(printable(folder_)));
            break;
        case FolderLock::CannotMake:
            say_once(NoRoom, QStringLiteral("no game can be kept in the hall at %1: its lock "
                                            "cannot be made (the folder is full or read-only)")
                                 .arg(printable(folder_)));
            break;
    }
    return false;
}

// Reads the index, and makes it again from the recordings when it is missing, damaged
// or does not list the files there are. Runs under the folder's lock, when it could
// be taken.
std::vector<HallEntry> Hall::load(bool locked) {
    QDir dir(folder_);
    // A write that was killed leaves its unfinished copy; under the lock none is going on.
    for (const QString& left :
         dir.entryList({QStringLiteral("*.??????")}, QDir::Files | QDir::NoSymLinks)) {
        const bool unfinished = left.contains(kSuffix + '.') || left.startsWith(kIndex + '.');
        if (locked && unfinished && !left.endsWith(QStringLiteral(".bad")))
            dir.remove(left);
    }
    // Links, folders, devices and pipes named like recordings are no games of ours.
    const QDir::Filters plain = QDir::Files | QDir::NoSymLinks;
    if (dir.entryList({'*' + kSuffix}, QDir::AllEntries | QDir::System | QDir::Hidden).size() !=
        dir.entryList({'*' + kSuffix}, plain | QDir::Hidden).size())
        say_once(Strange, QStringLiteral("the hall at %1 holds links, folders or devices named "
                                         "like recordings: they are left alone")
                              .arg(printable(folder_)));
    QByteArray text;
    if (kind_of(index_path()) == 0)
        return rebuild(false, locked);
    if (!read_plain(index_path(), kLargestIndex, text))
        return rebuild(true, locked);
    const QJsonDocument doc = QJsonDocument::fromJson(text);
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
        return rebuild(true, locked);
    if (int(entries.size()) > kMostFiles)
        return rebuild(false, locked);
    QStringList listed;
    for (const HallEntry& e : entries)
        listed.push_back(e.file);
    listed.sort();
    if (listed != dir.entryList({'*' + kSuffix}, QDir::Files | QDir::NoSymLinks, QDir::Name) ||
        behind)
        return rebuild(false, locked);
    return entries;
}

// Without the lock the folder is only read: another game may be changing it.
std::vector<HallEntry> Hall::rebuild(bool damaged_index, bool locked) {
    const QString index = index_path();
    if (damaged_index && locked) {
        const QString aside = index + QStringLiteral(".bad");
        QFile::remove(aside);
        if (QFile::rename(index, aside))
            say_once(Rebuilt, QStringLiteral("the hall's index was damaged: made again from the "
                                             "recordings, the damaged one kept as %1")
                                  .arg(printable(aside)));
        else
            say_once(Rebuilt, QStringLiteral("the hall's index was damaged: made again from the "
                                             "recordings"));
    }
    QStringList files =
        QDir(folder_).entryList({'*' + kSuffix}, QDir::Files | QDir::NoSymLinks, QDir::Time);
    if (files.size() > kMostFiles) {
        say_once(Strange, QStringLiteral("the hall at %1 holds more than %2 recordings: only the "
                                         "newest are looked at")
                              .arg(printable(folder_))
                              .arg(kMostFiles));
        files = files.mid(0, kMostFiles);
    }
    std::vector<HallEntry> entries;
    for (const QString& name : files) {
        HallEntry e;
        if (read_entry(path_of(name), e))
            entries.push_back(e);
        else if (locked)
            put_aside(name);
    }
    if (locked)
        write_index(entries);
    return entries;
}

// Proves the games not proven yet in this program, the best claims first, within a
// budget of work: a folder stuffed with costly files leaves the rest unchecked for a
// later look (each proof is kept for as long as its file stays the same), never shown
// as proven nor pushed out.
void Hall::prove_all(std::vector<HallEntry>& entries, std::int64_t& budget) {
    std::sort(entries.begin(), entries.end(),
              [](const HallEntry& a, const HallEntry& b) { return a.earned > b.earned; });
    for (HallEntry& e : entries) {
        const QString path = path_of(e);
        const QString stamp = stamp_of(path);
        {
            const QMutexLocker hold(&mutex_);
            const auto known = proven_.constFind(e.file);
            if (known != proven_.constEnd() && known->first == stamp) {
                e = known->second;
                continue;
            }
        }
        e.standing = HallEntry::Unproven;
        e.category.clear();
        if (budget <= 0) {
            e.why = QStringLiteral("not checked yet: more to prove than one look allows");
            continue;
        }
        const RecordingFile file = read_kept(path);
        Verdict v;
        if (file.read)
            v = prove_(file.text());
        else
            v.why = "cannot be read: " + file.why.toStdString();
        // Reading costs too: 8 MiB of comments weigh as much as a long game.
        budget -= v.steps + file.bytes.size() / kBytesPerStep;
        e.standing = v.outcome == Verdict::Proven ? HallEntry::Proven
                     : v.outcome == Verdict::Old  ? HallEntry::Old
                                                  : HallEntry::Unproven;
        if (e.standing == HallEntry::Proven) {
            e.score = v.replayed;
            e.earned = v.earned;
        }
        e.category = QString::fromStdString(v.category);
        e.why = QString::fromStdString(v.why);
        const QMutexLocker hold(&mutex_);
        proven_.insert(e.file, {stamp, e});
    }
    std::sort(entries.begin(), entries.end(), better);
}

bool Hall::write_index(const std::vector<HallEntry>& entries) {
    QJsonArray list;
    for (const HallEntry& e : entries)
        list.append(to_json(e, stamp_of(path_of(e))));
    const QByteArray text = QJsonDocument(QJsonObject{{"version", 2}, {"entries", list}}).toJson();
    return write_whole(index_path(), text);
}

std::vector<HallEntry> Hall::entries() {
    std::int64_t budget = kProofBudget;
    std::vector<HallEntry> all = look(budget);
    // Proven games beyond the tenth are left only by a write cut short; the next keeping
    // ends them.
    int proven = 0;
    std::erase_if(all, [&proven](const HallEntry& e) {
        return e.standing == HallEntry::Proven && ++proven > kPlaces;
    });
    return all;
}

// The games there are, proven within the budget; the lock is held only to read them.
std::vector<HallEntry> Hall::look(std::int64_t& budget) {
    if (kind_of(folder_) != S_IFDIR)
        return {};
    FolderLock lock(lock_path());
    const bool locked = take_lock(lock);
    std::vector<HallEntry> all = load(locked);
    if (locked)
        lock.release();
    prove_all(all, budget);
    return all;
}

// A name no file of the folder has yet, so that nothing kept is written over.
QString Hall::free_name(const QString& stem) const {
    for (int n = 0; n < 100; ++n) {
        const QString name = stem + (n == 0 ? QString() : '-' + QString::number(n)) + kSuffix;
        if (kind_of(path_of(name)) == 0)
            return name;
    }
    return {};
}

bool Hall::offer(const Recording& recording) {
    const QByteArray text = QByteArray::fromStdString(recording.text());
    const Verdict v = prove_({text.constData(), std::size_t(text.size())});
    if (v.outcome != Verdict::Proven) {
        say_once(Unproven, QStringLiteral("a game was not kept in the hall: its recording proves "
                                          "nothing (%1)")
                               .arg(QString::fromStdString(v.why)));
        return false;
    }
    const auto no_room = [this] {
        say_once(NoRoom, QStringLiteral("this game could not be kept in the hall at %1: the "
                                        "folder cannot be written (full, or read-only)")
                             .arg(printable(folder_)));
        return false;
    };
    if (kind_of(folder_) == 0 && !QDir().mkpath(folder_))
        return no_room();
    if (kind_of(folder_) != S_IFDIR) {
        say_once(Strange, QStringLiteral("the hall at %1 is not a folder: no game can be kept")
                              .arg(printable(folder_)));
        return false;
    }
    // What is there is proven first, outside the lock, which others wait for: under it
    // only what came meanwhile is left to prove.
    std::int64_t budget = kProofBudget;
    look(budget);
    FolderLock lock(lock_path());
    if (!take_lock(lock))
        return false;
    std::vector<HallEntry> entries = load(true);
    prove_all(entries, budget);

    // The same game offered before keeps its place unless it has now earned more.
    const QString game = recording.name;
    std::vector<HallEntry> older;
    std::erase_if(entries, [&](const HallEntry& e) {
        if (game_of(e.file) != game)
            return false;
        older.push_back(e);
        return true;
    });
    for (const HallEntry& e : older) {
        if (e.standing == HallEntry::Proven && e.earned >= v.earned)
            return true;
    }
    HallEntry entry{free_name(game + '.' + QString::number(v.ticks)),
                    v.replayed,
                    v.earned,
                    QString::fromStdString(recording.header.date),
                    v.ticks,
                    v.seconds,
                    HallEntry::Proven,
                    QString::fromStdString(v.category),
                    {}};
    const auto proven = std::count_if(entries.begin(), entries.end(), [](const HallEntry& e) {
        return e.standing == HallEntry::Proven;
    });
    // Only more proven points take a place: the date is the file's own word.
    if (proven >= kPlaces && entry.earned <= entries[kPlaces - 1].earned)
        return false;
    // The new file is known whole on disk before anything older goes.
    if (entry.file.isEmpty() || !write_whole(path_of(entry), text))
        return no_room();
    {
        const QMutexLocker hold(&mutex_);
        proven_.insert(entry.file, {stamp_of(path_of(entry)), entry});
    }
    entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), better);
    std::vector<HallEntry> out_of_hall = older;
    int place = 0;
    std::erase_if(entries, [&](const HallEntry& e) {
        const bool out = e.standing == HallEntry::Proven && ++place > kPlaces;
        if (out)
            out_of_hall.push_back(e);
        return out;
    });
    for (const HallEntry& e : out_of_hall)
        QFile::remove(path_of(e));
    // A stale index is made again at the next look; the games are in their files.
    if (!write_index(entries))
        no_room();
    return true;
}

}  // namespace grimbolt
