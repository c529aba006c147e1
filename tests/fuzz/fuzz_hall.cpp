#include "fuzz/fuzz_hall.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string_view>

#include "replay/hall.h"
#include "replay/proof.h"
#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt {
namespace {

// Long games are fine but slow: the fuzzer proves only short ones (the proof's own
// limits bound the rest, at a second or two each).
constexpr std::int64_t kMostSteps = 2000;

void check(bool holds) {
    if (!holds)
        std::abort();
}

}  // namespace

int fuzz_hall(const char* data, std::size_t size) {
    const std::string_view text(data, size);
    const Script script = parse_script(text);
    // A header reads back as it was written.
    if (script.header.recording != 0) {
        const Script again = parse_script(format_header(script.header));
        check(again.errors.empty() && again.header == script.header);
    }
    int played = 0;
    if (steps_of(script.events) <= kMostSteps && script.events.size() <= 2000) {
        const Verdict v = verify(text);
        played = v.outcome != Verdict::Unreadable;
        // A proof is of the score the rules gave, and only of a game of these rules.
        check(v.outcome != Verdict::Proven ||
              (v.recorded == v.replayed && script.header.recording == 2 && !v.category.empty()));
    }

    // The same bytes as the hall's index, beside a recording and as a recording.
    static QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/hall");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    Hall hall(folder, nullptr);
    const auto write = [&](const QString& path, std::string_view bytes) {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    };
    write(hall.index_path(), text);
    write(hall.path_of(QStringLiteral("same.script")), text);
    write(hall.path_of(QStringLiteral("good.script")), "recording 1\nseed 1\nscore 5\n");
    const std::vector<HallEntry> entries = hall.entries();
    check(entries.size() <= std::size_t(Hall::kPlaces) && !entries.empty());
    for (std::size_t i = 1; i < entries.size(); ++i)
        check(!better(entries[i], entries[i - 1]));
    return played;
}

}  // namespace grimbolt
