#pragma once
// The hall of fame: the ten best games, each kept as its recording in a file of its
// own, with an index of them that is only a cache: it is made again from the files
// whenever it is missing, damaged or behind. Every write goes through a saved file
// under the folder's lock, so that a game killed mid-write, or two games ending at
// once, lose nothing that was kept.

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace grimbolt {

struct Recording;

struct HallEntry {
    QString file;  // the recording's file name in the hall's folder
    std::int32_t score = 0;
    QString date;
    std::int32_t ticks = 0;
    std::int32_t seconds = 0;
    bool operator==(const HallEntry&) const = default;
};

class Hall {
  public:
    static constexpr int kPlaces = 10;
    using Say = std::function<void(const QString&)>;

    // `say` hears of what went wrong, each kind of trouble once.
    Hall(QString folder, Say say);
    // $XDG_DATA_HOME/Grimbolt/hall
    static QString default_folder();
    const QString& folder() const { return folder_; }

    // Keeps a game that earns its place: true when it is in the hall afterwards. The
    // same game offered again (it went on after a death) takes its own place.
    bool offer(const Recording& recording);
    // The games kept, best first.
    std::vector<HallEntry> entries();
    QString path_of(const HallEntry& entry) const { return folder_ + '/' + entry.file; }

  private:
    std::vector<HallEntry> load(bool locked);
    std::vector<HallEntry> rebuild(bool damaged_index);
    bool write_index(const std::vector<HallEntry>& entries);
    void put_aside(const QString& file);
    void say_once(int kind, const QString& what);

    QString folder_;
    Say say_;
    unsigned said_ = 0;  // the kinds of trouble told already
};

// The order of the hall: the higher score first, then the earlier game.
bool better(const HallEntry& a, const HallEntry& b);

}  // namespace grimbolt
