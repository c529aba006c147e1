// grimbolt-soak: plays long random scripts against the real window and checks the
// game's promises after every event.
//
//   grimbolt-soak --events N --seed S [--jobs J] [--save FILE] [--profile 1]
//
// The scripts go through every phase: running, the shop, dead, paused and the speed
// dialog open. The shop needs 1000 points, which random keys rarely earn, so now and
// then the soak hands the robot the points it needs, as a lucky player would have.
// --save writes the events played, with a comment where points were handed out: the
// soak itself, run again with the same seed, is what repeats a run exactly. Odd seeds
// play the enhanced edition with its safe start and signs on, even seeds the classic.

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/script_player.h"
#include "shell/mainfrm.h"
#include "soak/invariants.h"

namespace grimbolt::soak {
namespace {

struct Options {
    long long events = 10000;
    std::uint32_t seed = 1;
    int jobs = 1;
    const char* save = nullptr;
    bool profile = false;
};

class Generator {
  public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    // Per ten thousand events. Events that redraw the whole window cost a hundred
    // ticks each, so they come rarely enough to leave most of the time to play.
    ScriptEvent next(bool dialog_up) {
        int roll = pick(0, 9999);
        const auto take = [&roll](int share) { return (roll -= share) < 0; };
        if (dialog_up && take(600))
            return {Command::Slider, pick(0, 2000), 0};
        if (dialog_up && take(300))
            return {Command::Ok, 0, 0};
        if (take(4600))
            return {Command::Tick, pick(0, 9) == 0 ? pick(2, 40) : 1, 0};
        if (take(2200))
            return key(Command::KeyDown);
        if (take(1800))
            return key(Command::KeyUp);
        if (take(300))
            return {Command::Paint, pick(0, 2) == 0 ? pick(2, 6) : 1, 0};
        if (take(250))
            return {Command::Pause, 0, 0};
        if (take(100))
            return {Command::Speed, 0, 0};
        if (take(100))
            return {Command::NewGame, 0, 0};
        if (take(100))
            return {Command::Activate, 0, 0};
        if (take(50))
            return {Command::Music, 0, 0};
        if (take(200))
            return window_event();
        if (take(60))
            return resize();
        if (take(25))
            return display();
        if (take(10))
            return {Command::Exit, 0, 0};
        return {Command::Tick, 1, 0};
    }

    bool chance(int per_thousand) { return pick(0, 999) < per_thousand; }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Any code from 0 to 255, the game's own keys more often, held keys repeating.
    ScriptEvent key(Command c) {
        static constexpr int kGameKeys[] = {16, 27, 37, 39, 49, 50, 51, 88, 90};
        if (c == Command::KeyDown && pick(0, 3) == 0)
            return {c, last_key_, pick(0, 7)};
        const int code = pick(0, 1) == 0 ? kGameKeys[pick(0, 8)] : pick(0, 255);
        if (c == Command::KeyDown)
            last_key_ = code;
        return {c, code, pick(0, 3) == 0 ? pick(0, 7) : 0};
    }

    ScriptEvent window_event() {
        static constexpr Command kWindows[] = {Command::Help, Command::HelpClose, Command::Credits,
                                               Command::CreditsClose};
        return {kWindows[pick(0, 3)], 0, 0};
    }

    ScriptEvent resize() {
        if (pick(0, 19) == 0)
            return {Command::Resize, pick(0, 40), pick(0, 40)};
        return {Command::Resize, pick(100, 1100), pick(80, 800)};
    }

    // Displays from tiny to middling; the large ones are left to the display tests,
    // where a few events cost what thousands cost here.
    ScriptEvent display() {
        static constexpr int kSizes[][2] = {{1, 1},     {64, 48},   {320, 200},
                                            {400, 300}, {640, 480}, {1024, 768}};
        const auto& s = kSizes[pick(0, 5)];
        return {Command::Display, s[0], s[1]};
    }

    std::mt19937 random_;
    int last_key_ = 37;
};

Options read_options(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--events") == 0)
            o.events = std::max(0LL, std::atoll(argv[i + 1]));
        else if (std::strcmp(argv[i], "--seed") == 0)
            o.seed = std::uint32_t(std::strtoul(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--jobs") == 0)
            o.jobs = std::clamp(std::atoi(argv[i + 1]), 1, 64);
        else if (std::strcmp(argv[i], "--save") == 0)
            o.save = argv[i + 1];
        else if (std::strcmp(argv[i], "--profile") == 0)
            o.profile = std::strcmp(argv[i + 1], "0") != 0;
    }
    return o;
}

std::string name_of(Command c) {
    const std::string text = format_event({c, 1, 0});
    return text.substr(0, text.find(' '));
}

// The time each kind of event took, for tuning the mix.
struct Profile {
    double seconds[32] = {};
    long count[32] = {};

    void print() const {
        for (int c = 0; c <= int(Command::Display); ++c) {
            if (count[c] > 0)
                std::printf("  %-14s %9ld events %9.1f us each\n", name_of(Command(c)).c_str(),
                            count[c], 1e6 * seconds[c] / double(count[c]));
        }
    }
};

int run(const Options& o) {
    const auto start = std::chrono::steady_clock::now();
    Generator generator(o.seed);
    ReplaySetup replay;
    replay.seed = std::int32_t(o.seed);
    replay.display = QSize(640, 480);
    // Odd seeds play the enhanced edition with every comfort that shows or plays on.
    replay.enhanced = o.seed % 2 == 1;
    replay.options.safe_start = replay.options.fair_start = replay.options.pause_sign =
        replay.options.game_over = true;
    ScriptPlayer player(replay);
    Checker checker;
    Profile profile;
    std::string script;
    for (long long n = 0; n < o.events; ++n) {
        Mainfrm* w = player.window();
        const bool dialog_up = w != nullptr && w->HScroll1()->isVisible();
        const ScriptEvent e = generator.next(dialog_up);
        if (w != nullptr && e.command == Command::Tick && generator.chance(3)) {
            hand_out_shop_points(w->game().s);
            if (o.save != nullptr)
                script += "# the soak hands out the shop's points here\n";
        }
        if (o.save != nullptr)
            script += format_event(e) + '\n';
        checker.before(player, e);
        const auto t0 = std::chrono::steady_clock::now();
        player.play(e);
        profile.seconds[int(e.command)] +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ++profile.count[int(e.command)];
        if (!checker.after(player, e, n)) {
            std::fprintf(stderr, "grimbolt-soak: seed %u, event %lld (%s): %s\n", o.seed, n,
                         format_event(e).c_str(), checker.failure().c_str());
            break;
        }
        if (n == o.events / 10 || n == o.events - 1)
            checker.measure_memory(player, n == o.events - 1);
    }
    if (o.save != nullptr) {
        QFile file(QString::fromLocal8Bit(o.save));
        if (file.open(QIODevice::WriteOnly))
            file.write(script.data(), qint64(script.size()));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("grimbolt-soak: %lld events, seed %u (%s), %.1f s (%.1f us an event), %d starts\n",
                checker.events(), o.seed, replay.enhanced ? "enhanced" : "classic", seconds,
                1e6 * seconds / double(std::max(1LL, checker.events())), player.starts());
    checker.report(stdout);
    if (o.profile)
        profile.print();
    std::fflush(stdout);
    return checker.passed() ? 0 : 1;
}

// Several jobs split the events between processes with consecutive seeds, started
// before anything of Qt exists.
int run_jobs(int argc, char** argv, Options o) {
    const long long total = o.events;
    std::vector<pid_t> children;
    for (int j = 0; j < o.jobs; ++j) {
        Options mine = o;
        mine.seed = o.seed + std::uint32_t(j);
        mine.events = total / o.jobs + (j < total % o.jobs ? 1 : 0);
        mine.save = nullptr;
        const pid_t pid = o.jobs == 1 ? 0 : fork();
        if (pid == 0) {
            QApplication app(argc, argv);
            const int result = run(o.jobs == 1 ? o : mine);
            if (o.jobs == 1)
                return result;
            std::_Exit(result);
        }
        if (pid < 0) {
            std::perror("grimbolt-soak: fork");
            return 1;
        }
        children.push_back(pid);
    }
    int result = 0;
    for (const pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            result = 1;
    }
    std::printf("grimbolt-soak: %lld events in %d jobs: %s\n", total, o.jobs,
                result == 0 ? "passed" : "FAILED");
    return result;
}

}  // namespace
}  // namespace grimbolt::soak

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const grimbolt::soak::Options options = grimbolt::soak::read_options(argc, argv);
    return grimbolt::soak::run_jobs(argc, argv, options);
}
