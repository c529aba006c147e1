#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QScopeGuard>
#include <QThreadPool>
#include <QTime>
#include <csignal>
#include <cstdio>
#include <memory>

#include "app/answers.h"
#include "app/enhanced.h"
#include "app/script_player.h"
#include "core/system_platform.h"
#include "replay/hall.h"
#include "replay/keeper.h"
#include "replay/proof.h"
#include "replay/recorder.h"
#include "replay/session.h"
#include "replay/state_hash.h"
#include "shell/enhanced/best_score.h"
#include "shell/enhanced/settings.h"
#include "shell/input/gamepad.h"
#include "shell/mainfrm.h"
#include "shell/online/world_link.h"
#include "shell/sound/audio.h"

namespace {

// What --help prints, and the manual page is made of, above the options.
constexpr char kDescription[] =
    "An arcade shooter: steer a walking gun robot along the row of ground tiles at the\n"
    "bottom of the screen and shoot the monsters that fly across from either side.\n"
    "Every monster is worth 100 points; points buy upgrades in the shop, which opens\n"
    "each time the score doubles. A monster that touches the top or the bottom of the\n"
    "robot ends the game.\n"
    "\n"
    "grimbolt alone plays the classic edition, exactly, in Russian, and reads and writes\n"
    "no file. grimbolt --enhanced plays the same game in Russian or English, with\n"
    "comforts to turn on in its menu \"Параметры\" (\"Preferences\"): a fair start (on\n"
    "for a new player: the robot starts on the tiles in the middle and no monster comes\n"
    "for three seconds), a safe start, sound, the speed and full screen kept between\n"
    "runs, a pause sign and a game-over summary with the best score. Its menus open\n"
    "with F10 or Alt and their underlined letters. It records every game and keeps the\n"
    "ten that earned the most points, with their recordings, in its hall of fame\n"
    "(\"Рекорды…\", \"Hall of fame…\"), where each can be watched again. Its page\n"
    "\"Мир\" (\"World\") joins a world hall of fame server, sends games there and shows\n"
    "the world's best, each proven here before it is watched. It sends nothing anywhere\n"
    "until the player joins. grimbolt --enhanced FILE proves a recorded game and shows it.\n"
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
    "  F11               full screen, or back to the maximized window\n"
    "\n"
    "A proven score is one the game's own rules give for the recorded inputs, from the\n"
    "state a real start of the program gives, on a real screen (no side under 480\n"
    "pixels, none longer than 32:9), at the recorded speed. It does not say a person\n"
    "played: a program can play too. A recording proves at most 8 MiB, 500000 lines\n"
    "and 400000 steps of play (a tick is one step, a redraw of the window twenty, a\n"
    "new game thirty, a redraw twice more for each 7680 pixels of the window's width\n"
    "past the first), read from a regular file only. Its category is \"classic\" when\n"
    "every tick came at 50 ms or faster, \"slow\" otherwise, with \"+safe-start\" and\n"
    "\"+fair-start\" when those were on. A game's points are what it earned, 100 for\n"
    "each monster; its score is what the shop left of them.\n";

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
// A recorded game is played as it was recorded: what reached the game, without a window.
int replay(const QString& path, std::int32_t seed, bool enhanced, bool trace) {
    // Read as a recording is, so that neither a device nor a huge file can hold the program.
    const grimbolt::RecordingFile file = grimbolt::read_recording(path);
    if (!file.read) {
        std::fprintf(stderr, "grimbolt: %s: %s\n", qPrintable(grimbolt::printable(path)),
                     qPrintable(file.why));
        return 2;
    }
    const grimbolt::Script script = file.script();
    for (const std::string& error : script.errors)
        std::fprintf(stderr, "%s: %s\n", qPrintable(grimbolt::printable(path)), error.c_str());
    // A script is the developer's own; a recording may come from anywhere, and asks no more
    // play of the program than a proof allows.
    if (script.header.recording != 0 &&
        grimbolt::steps_of(script.events) > grimbolt::kRecordingMostSteps) {
        std::fprintf(stderr, "grimbolt: %s: more than %lld steps of play\n",
                     qPrintable(grimbolt::printable(path)),
                     static_cast<long long>(grimbolt::kRecordingMostSteps));
        return 2;
    }
    if (script.header.recording != 0) {
        grimbolt::Session session(script.header);
        session.play(script.events);
        std::printf("events %zu score %d state %016llx\n", script.events.size(),
                    session.game().s.score,
                    static_cast<unsigned long long>(grimbolt::state_hash(session.game().s)));
        return script.errors.empty() ? 0 : 2;
    }
    grimbolt::ReplaySetup replay_options;
    replay_options.seed = script.header.has_seed ? script.header.seed : seed;
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

// What the post to the world's server could not do goes where the program's other
// troubles go; the hall window shows it too.
void connect_world_lines(grimbolt::WorldLink& world,
                         const std::function<void(const QString&)>& say) {
    QObject::connect(&world, &grimbolt::WorldLink::said, &world, [say](const QString& line) {
        // The server's words, which may hold a terminal's escapes.
        say(QStringLiteral("world: ") + grimbolt::printable(line));
    });
}

}  // namespace

int main(int argc, char** argv) {
    // An answer needs no display, and prints nothing but itself: none is looked for, and
    // Qt's own notes (no runtime folder, no fonts) are not shown.
    const bool answer = grimbolt::answer_only(argc, argv);
    if (answer) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    }
    std::unique_ptr<QGuiApplication> app_holder =
        answer ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QApplication>(argc, argv);
    QGuiApplication& app = *app_holder;
    if (QStringList files; answer && grimbolt::verify_files(argc, argv, files)) {
        if (files.isEmpty()) {
            std::fprintf(stderr, "grimbolt: --verify needs a file\n");
            return 2;
        }
        return grimbolt::verify_all(files);
    }
    // Qt draws large pictures on threads of its own pool: they are done with before the
    // program ends, so that none is cut off halfway through its own ending.
    const auto pool_done = qScopeGuard([] { QThreadPool::globalInstance()->waitForDone(); });
    QCoreApplication::setApplicationName(QStringLiteral("Grimbolt"));
    // Ties the windows to the desktop entry, so the desktop shows them under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.grimbolt.Grimbolt"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/grimbolt-%1.png").arg(size));
    QGuiApplication::setWindowIcon(icon);

    QCoreApplication::setApplicationVersion(QStringLiteral(GRIMBOLT_VERSION));
    QCommandLineParser command_line;
    QString description = QString::fromUtf8(kDescription);
    // The enhanced edition's help lists the player's own keys; the classic reads no file.
    if (answer && grimbolt::asks_enhanced(argc, argv))
        description = grimbolt::with_keys(
            description,
            grimbolt::Settings(grimbolt::Settings::default_path(), [](const QString&) {})
                .load()
                .keys);
    command_line.setApplicationDescription(description);
    command_line.addHelpOption();
    command_line.addVersionOption();
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
    const QCommandLineOption verify_option(
        QStringLiteral("verify"),
        QStringLiteral("Plays recorded games of the hall of fame without a window and prints, "
                       "for each file named (every argument after it is a file), its proven "
                       "points, "
                       "score and category, or why it proves nothing; exits 0 when all are "
                       "proven, 1 when the rules give another game or one was recorded before "
                       "proofs were strict, 2 when a file is no recording or no proof."),
        QStringLiteral("file"));
    command_line.addOptions(
        {enhanced_option, replay_option, seed_option, trace_option, verify_option});
    command_line.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("With --enhanced: a recorded game to prove, then watch."),
        QStringLiteral("[file]"));
    command_line.process(app);
    if (answer)  // a help option in a form the parser does not take for one
        command_line.showHelp();
    if (command_line.isSet(replay_option))
        return replay(command_line.value(replay_option), command_line.value(seed_option).toInt(),
                      command_line.isSet(enhanced_option), command_line.isSet(trace_option));

    const QStringList files = command_line.positionalArguments();
    if (files.size() > 1 || (!files.isEmpty() && !command_line.isSet(enhanced_option))) {
        std::fprintf(stderr,
                     "grimbolt: a recorded game is opened by the enhanced edition: "
                     "grimbolt --enhanced FILE\n");
        return 2;
    }
    // The classic edition reads and writes no file; the enhanced one keeps its options
    // and the best score. Both outlive the window.
    const auto say = [](const QString& what) {
        std::fprintf(stderr, "grimbolt: %s\n", qPrintable(what));
    };
    std::unique_ptr<grimbolt::Settings> settings;
    std::unique_ptr<grimbolt::BestScore> best;
    std::unique_ptr<grimbolt::Audio> audio;
    std::unique_ptr<grimbolt::Hall> hall;
    std::unique_ptr<grimbolt::Recorder> recorder;
    std::unique_ptr<grimbolt::WorldLink> world;
    grimbolt::SystemRandom random;
    grimbolt::SystemClock clock;
    // A recorded game keeps its own time, from the second of the day it began, so that
    // playing it again reads the same times.
    grimbolt::GameClock game_clock;
    const bool recorded = command_line.isSet(enhanced_option);
    if (recorded) {
        // A file grown past the size limit fails its write, which the hall reports; the
        // game is not stopped by the signal.
        std::signal(SIGXFSZ, SIG_IGN);
        const std::int32_t seed = QTime::currentTime().msecsSinceStartOfDay() / 1000;
        game_clock.restart(seed);
        random.reseed(seed);
    }
    grimbolt::Mainfrm window(random, recorded ? static_cast<grimbolt::Clock&>(game_clock) : clock);
    grimbolt::Enhanced* enhanced = nullptr;
    if (recorded) {
        settings = std::make_unique<grimbolt::Settings>(grimbolt::Settings::default_path(), say);
        best = std::make_unique<grimbolt::BestScore>(grimbolt::BestScore::default_folder());
        // Sound is a welcome extra: without a device the game plays on silently.
        audio = std::make_unique<grimbolt::Audio>();
        if (!audio->start()) {
            say(QStringLiteral("no sound: %1").arg(audio->error()));
            audio.reset();
        }
        const grimbolt::Options chosen = settings->load();
        hall = std::make_unique<grimbolt::Hall>(grimbolt::Hall::default_folder(), say);
        recorder = std::make_unique<grimbolt::Recorder>(window.game(), game_clock);
        // Nothing goes to the network until the player joins a world server.
        world = std::make_unique<grimbolt::WorldLink>(grimbolt::Outbox::default_folder());
        connect_world_lines(*world, say);
        enhanced = new grimbolt::Enhanced(
            window, chosen,
            {settings.get(), best.get(), audio.get(), recorder.get(), hall.get(), world.get()});
    }
    // Gamepads are a welcome extra: without them the game plays on from the keyboard.
    grimbolt::Gamepad pad;
    if (pad.start()) {
        window.use_gamepad(pad);
        if (enhanced != nullptr)
            enhanced->options_menu().use_gamepad(pad);
    } else
        std::fprintf(stderr, "grimbolt: no gamepads: %s\n", qPrintable(pad.error()));
    if (enhanced != nullptr)
        enhanced->options_menu().show();
    else
        window.show_maximized();
    if (enhanced != nullptr && !files.isEmpty())
        enhanced->hall_menu()->open_recording(files.front());
    const int status = QGuiApplication::exec();
    // Closing the program ends the game, which takes its place in the hall if it earns one.
    if (recorder != nullptr)
        recorder->finish();
    // A game that took its place in the hall as the program closed goes into the outbox
    // when the player sends each such game: it is sent at the next start.
    if (enhanced != nullptr && enhanced->hall_menu() != nullptr) {
        grimbolt::Keeper* keeper = enhanced->hall_menu()->keeper();
        keeper->wait();
        QCoreApplication::sendPostedEvents(keeper, QEvent::MetaCall);
    }
    return status;
}
