#include "app/answers.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "replay/proof.h"

namespace grimbolt {
namespace {

// Plays a recorded game again without a window and tells whether it proves its score:
// 0 when it does, 1 when the rules give another game (or it was recorded before proofs
// were strict), 2 when the file is no recording or no proof.
int verify_one(const QString& path) {
    // The first ": " of an answer ends the name, whatever the name holds.
    const QString name = printable(path).replace(QLatin1Char(':'), QLatin1String("\\x3a"));
    const RecordingFile file = read_recording(path);
    if (!file.read) {
        std::printf("%s: no proof: %s\n", qPrintable(name), qPrintable(file.why));
        return 2;
    }
    const Verdict v = verify(file.text());
    switch (v.outcome) {
        case Verdict::Proven:
            std::printf(
                "%s: proven %d points earned, score %d, category %s, %d ticks, %d "
                "seconds\n",
                qPrintable(name), v.earned, v.replayed, v.category.c_str(), v.ticks, v.seconds);
            return 0;
        case Verdict::Differs:
            std::printf("%s: not proven: %s\n", qPrintable(name), v.why.c_str());
            return 1;
        case Verdict::Old:
            std::printf("%s: not proven: %s\n", qPrintable(name), v.why.c_str());
            return 1;
        default:
            std::printf("%s: no proof: %s\n", qPrintable(name), v.why.c_str());
            return 2;
    }
}

}  // namespace

int verify_all(const QStringList& paths) {
    int status = 0;
    for (const QString& path : paths) {
        status = std::max(status, verify_one(path));
        std::fflush(stdout);
    }
    return status;
}

bool verify_files(int argc, char** argv, QStringList& files) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg != "--verify" && !arg.starts_with("--verify="))
            continue;
        if (arg.starts_with("--verify="))
            files << QFile::decodeName(argv[i] + std::strlen("--verify="));
        for (int j = i + 1; j < argc; ++j)
            files << QFile::decodeName(argv[j]);
        return true;
    }
    return false;
}

bool answer_only(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version" || arg.starts_with("--verify"))
            return true;
    }
    return false;
}

bool asks_enhanced(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--enhanced")
            return true;
    }
    return false;
}

QString with_keys(const QString& description, const KeyBindings& keys) {
    static constexpr std::array<const char*, kActions> kDoes{
        "walk left",
        "walk right",
        "raise or lower the gun (a raised gun cannot fire)",
        "fire",
        "jet, while held: fly up while the fuel lasts",
        "in the shop: buy rate of fire",
        "in the shop: buy explosion size",
        "in the shop: buy fuel",
        "in the shop: back to the game",
        "the help window",
        "a new game",
        "pause, or go on",
        "full screen, or back to the maximized window",
    };
    // The actions in the order of the classic's list.
    static constexpr std::array<Action, kActions> kOrder{
        Action::WalkLeft, Action::WalkRight, Action::Gun,       Action::Fire,      Action::Jet,
        Action::BuyRate,  Action::BuyBlast,  Action::BuyFuel,   Action::LeaveShop, Action::Help,
        Action::NewGame,  Action::Pause,     Action::FullScreen};
    QString list = QStringLiteral("Keys (the player's, from the settings file):\n");
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        list += QStringLiteral("  %1 %2\n")
                    .arg(keys_text(keys.of(kOrder[i])), -17)
                    .arg(QLatin1String(kDoes[i]));
    }
    const qsizetype from = description.indexOf(QLatin1String("Keys:\n"));
    const qsizetype to = description.indexOf(QLatin1String("\n\n"), from);
    if (from < 0 || to < 0)
        return description;
    return description.left(from) + list + description.mid(to + 1);
}

}  // namespace grimbolt
