#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <memory>

#include "core/system_platform.h"
#include "replay/script_player.h"
#include "shell/audio.h"
#include "shell/best_score.h"
#include "shell/enhanced.h"
#include "shell/gamepad.h"
#include "shell/mainfrm.h"
#include "shell/settings.h"

namespace {

// What --help prints, and the manual page is made of, above the options.
constexpr char kDescription[] =
    "An arcade shooter: steer a walking gun robot along the row of ground tiles at the\n"
    "bottom of the screen and shoot the monsters that fly across from either side.\n"
    "Every monster is worth 100 points; points buy upgrades in the shop, which opens\n"
    "each time the score doubles. A monster that touches the top or the bottom of the\n"
    "robot ends the game. All of the game's text is in Russian.\n"
    "\n"
    "grimbolt alone plays the classic edition, exactly, and reads and writes no file.\n"
    "grimbolt --enhanced plays the same game with comforts to turn on in its menu\n"
    "\"Параметры\": a safe start, the speed and full screen kept between runs, a pause\n"
    "sign and a game-over summary with the best score.\n"
    "\n"
    "Keys:\n"
    "  Left, Right       turn and walk\n"
    "  Z                 raise or lower the gun (a raised gun cannot fire)\n"
    "  Shift             fire\n"
    "  X                 jet, while held: fly up while the fuel lasts\n"
    "  1, 2, 3           in the shop: buy rate of fire, explosion size, fuel\n"
    "  Esc               in the shop: back to the game\n"
    "  F1                the help window\n"
    "  F2                a new game\n"
    "  F3                pause, or go on\n"
    "  F11               full screen, or back to the maximized window\n";

// One line of the game's state after an event, for whoever writes a script.
void print_trace(const grimbolt::ScriptEvent& event, grimbolt::Mainfrm& w) {
    const grimbolt::GameState& s = w.game().s;
    int bullets = 0;
    for (const grimbolt::Pull& p : s.pulls)
        bullets += p.dir != 0;
    std::printf("%-16s score %d fuel %d shop %d timer %d hero %d,%d bullets %d\n",
                grimbolt::format_event(event).c_str(), s.score, s.fuel, s.in_magazine,
                int(w.Timer1().enabled()), s.hero_pos[0], s.hero_pos[1], bullets);
}

// Plays a script in the real window, then prints the fingerprints of the final game.
int replay(const QString& path, std::int32_t seed, bool enhanced, bool trace) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "grimbolt: cannot read %s\n", qPrintable(path));
        return 2;
    }
    const QByteArray text = file.readAll();
    const grimbolt::Script script = grimbolt::parse_script({text.constData(), size_t(text.size())});
    for (const std::string& error : script.errors)
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), error.c_str());
    grimbolt::ReplayOptions replay_options;
    replay_options.seed = seed;
    replay_options.enhanced = enhanced;
    grimbolt::ScriptPlayer player(replay_options);
    for (const grimbolt::ScriptEvent& event : script.events) {
        player.play(event);
        if (trace && player.window() != nullptr)
            print_trace(event, *player.window());
    }
    std::printf("events %zu state %016llx pixels %016llx\n", script.events.size(),
                static_cast<unsigned long long>(player.state_hash()),
                static_cast<unsigned long long>(player.pixel_hash()));
    return script.errors.empty() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grimbolt"));
    // Ties the windows to the desktop entry, so the desktop shows them under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.grimbolt.Grimbolt"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/grimbolt-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    QApplication::setApplicationVersion(QStringLiteral(GRIMBOLT_VERSION));
    QCommandLineParser options;
    options.setApplicationDescription(QString::fromUtf8(kDescription));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption replay_option(QStringLiteral("replay"),
                                           QStringLiteral("Plays an input script, then quits."),
                                           QStringLiteral("script"));
    const QCommandLineOption seed_option(QStringLiteral("seed"),
                                         QStringLiteral("The replay's fixed seed."),
                                         QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption trace_option(
        QStringLiteral("trace"), QStringLiteral("Prints the game's state after each event."));
    const QCommandLineOption enhanced_option(
        QStringLiteral("enhanced"), QStringLiteral("The enhanced edition, its options kept in "
                                                   "~/.config/Grimbolt/grimbolt.conf."));
    options.addOptions({enhanced_option, replay_option, seed_option, trace_option});
    options.process(app);
    if (options.isSet(replay_option))
        return replay(options.value(replay_option), options.value(seed_option).toInt(),
                      options.isSet(enhanced_option), options.isSet(trace_option));

    // The classic edition reads and writes no file; the enhanced one keeps its options
    // and the best score. Both outlive the window.
    const auto say = [](const QString& what) {
        std::fprintf(stderr, "grimbolt: %s\n", qPrintable(what));
    };
    std::unique_ptr<grimbolt::Settings> settings;
    std::unique_ptr<grimbolt::BestScore> best;
    std::unique_ptr<grimbolt::Audio> audio;
    grimbolt::SystemRandom random;
    grimbolt::SystemClock clock;
    grimbolt::Mainfrm window(random, clock);
    grimbolt::Enhanced* enhanced = nullptr;
    if (options.isSet(enhanced_option)) {
        settings = std::make_unique<grimbolt::Settings>(grimbolt::Settings::default_path(), say);
        best = std::make_unique<grimbolt::BestScore>(grimbolt::BestScore::default_folder());
        // Sound is a welcome extra: without a device the game plays on silently.
        audio = std::make_unique<grimbolt::Audio>();
        if (!audio->start()) {
            say(QStringLiteral("no sound: %1").arg(audio->error()));
            audio.reset();
        }
        enhanced = new grimbolt::Enhanced(window, settings->load(), settings.get(), best.get(),
                                          audio.get());
    }
    // Gamepads are a welcome extra: without them the game plays on from the keyboard.
    grimbolt::Gamepad pad;
    if (pad.start())
        window.use_gamepad(pad);
    else
        std::fprintf(stderr, "grimbolt: no gamepads: %s\n", qPrintable(pad.error()));
    if (enhanced != nullptr)
        enhanced->show();
    else
        window.show_maximized();
    return QApplication::exec();
}
