#include "tests/fuzz/fuzz_hall.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string_view>

#include "replay/hall.h"
#include "replay/script.h"
#include "replay/session.h"

namespace grimbolt {
namespace {

// Long games are fine but slow: the fuzzer proves only short ones.
constexpr std::int64_t kMostTicks = 400;

void check(bool holds) {
    if (!holds)
        std::abort();
}

std::int64_t ticks_in(const Script& script) {
    std::int64_t ticks = 0;
    for (const ScriptEvent& e : script.events)
        ticks += e.command == Command::Tick || e.command == Command::Paint ? e.a : 0;
    return ticks;
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
    if (ticks_in(script) <= kMostTicks && script.events.size() <= 2000) {
        const Verdict v = verify(text);
        played = v.outcome != Verdict::Unreadable;
    }

    // The same bytes as the hall's index, beside a recording and as a recording.
    static QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/hall");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const auto write = [&](const QString& name, std::string_view bytes) {
        QFile file(folder + '/' + name);
        check(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    };
    write(QStringLiteral("index.json"), text);
    write(QStringLiteral("same.script"), text);
    write(QStringLiteral("good.script"), "recording 1\nseed 1\nscore 5\n");
    Hall hall(folder, nullptr);
    const std::vector<HallEntry> entries = hall.entries();
    check(entries.size() <= std::size_t(Hall::kPlaces) && !entries.empty());
    for (std::size_t i = 1; i < entries.size(); ++i)
        check(!better(entries[i], entries[i - 1]));
    return played;
}

}  // namespace grimbolt
