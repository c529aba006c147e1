#pragma once
// The hall of fame: the ten best proven games, each kept as its recording in a file of
// its own, with an index of them that is only a cache of what their headers claim. A
// game is ranked and shown only as a proof gives it: a file that claims more than its
// recording proves is listed below every proven game and never pushes one out.
// Every write goes through a file read back whole under the folder's lock, so that a
// game killed mid-write, a full disk, or two games ending at once lose nothing kept.
// The hall reads and writes only regular files inside its folder and follows no link.

#include <QHash>
#include <QMutex>
#include <QString>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "replay/proof.h"

namespace grimbolt {

class FolderLock;
struct Recording;

struct HallEntry {
    enum Standing { Proven, Old, Unproven };
    QString file;             // the recording's file name in the hall's folder
    std::int32_t score = 0;   // what the game ended with, after the shop took its share
    std::int32_t earned = 0;  // the points it earned, 100 a monster: the hall's order
    QString date;
    std::int32_t ticks = 0;
    std::int32_t seconds = 0;
    Standing standing = Unproven;
    QString category;  // a proven game's
    QString why;       // why the others prove nothing
    bool operator==(const HallEntry&) const = default;
};

class Hall {
  public:
    static constexpr int kPlaces = 10;
    // The hall looks at so many files at most, the newest; a folder stuffed with more
    // is not of our making.
    static constexpr int kMostFiles = 1000;
    using Say = std::function<void(const QString&)>;
    using Prove = std::function<Verdict(std::string_view)>;

    // `say` hears of what went wrong, each kind of trouble once. `prove` plays a
    // recording again; the rules' own verifier unless a test of the storage swaps it.
    Hall(QString folder, Say say, Prove prove = verify);
    // $XDG_DATA_HOME/Grimbolt/hall
    static QString default_folder();
    const QString& folder() const { return folder_; }

    // Keeps a game that proves its score and earns its place: true when it is in the
    // hall afterwards. The same game offered again (it went on after a death) takes its
    // own place. Safe to call from another thread than the one that lists.
    bool offer(const Recording& recording);
    // The games kept, each proven again: the proven best first, then those recorded
    // before proofs were strict, then the ones that prove nothing.
    std::vector<HallEntry> entries();

    // The hall names its files, all in its folder: the recordings, their index, the lock,
    // and the folder damaged recordings are put aside in.
    QString path_of(const HallEntry& entry) const { return path_of(entry.file); }
    QString path_of(const QString& file) const { return folder_ + '/' + file; }
    QString index_path() const;
    QString lock_path() const;
    QString aside_folder() const;

  private:
    std::vector<HallEntry> look(std::int64_t& budget);
    std::vector<HallEntry> load(bool locked);
    std::vector<HallEntry> rebuild(bool damaged_index, bool locked);
    void prove_all(std::vector<HallEntry>& entries, std::int64_t& budget);
    bool write_index(const std::vector<HallEntry>& entries);
    bool take_lock(FolderLock& lock);
    QString free_name(const QString& stem) const;
    void put_aside(const QString& file);
    void say_once(int kind, const QString& what);

    QString folder_;
    Say say_;
    Prove prove_;
    QMutex mutex_;       // guards what follows: a keeper thread and the window share it
    unsigned said_ = 0;  // the kinds of trouble told already
    QHash<QString, std::pair<QString, HallEntry>> proven_;  // file: its stamp and proof
};

// The order of the hall: proven games by the points they earned, then the old ones,
// then the rest; the earlier game first among equals. Proven numbers are the rules'
// own; the others' are what their headers claim.
bool better(const HallEntry& a, const HallEntry& b);

}  // namespace grimbolt
