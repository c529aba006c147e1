#include "replay/proof.h"

#include <QDateTime>
#include <algorithm>

#include "replay/locked_store.h"
#include "replay/script.h"
#include "replay/session.h"
#include "replay/state_hash.h"

namespace grimbolt {
namespace {

// The default period: a game never slower than this is played at the classic speed.
constexpr std::int32_t kClassicPeriod = 50;
// Displays people have: no side shorter than 480 pixels, none longer than 32:9.
constexpr std::int32_t kShortestSide = 480;
bool real_display(std::int32_t w, std::int32_t h) {
    const std::int64_t longer = std::max(w, h);
    const std::int64_t shorter = std::min(w, h);
    return shorter >= kShortestSide && longer * 9 <= shorter * 32;
}

std::string size_text(std::int32_t w, std::int32_t h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

// Plays a recording event by event and stops at the first thing no real run does.
class Prover {
  public:
    explicit Prover(const ScriptHeader& header) : session_(header, false) {}

    // Empty while the run is one the program could have made.
    std::string play(const ScriptEvent& e) {
        // Tick by tick: a tick that stops the timer (a death, the shop) is the last of them.
        if (e.command == Command::Tick && e.a > 1) {
            for (std::int32_t i = 0; i < e.a; ++i) {
                if (std::string why = play(ScriptEvent{Command::Tick, 1, 0}); !why.empty())
                    return why;
            }
            return {};
        }
        if (std::string why = check(e); !why.empty())
            return why;
        // Counted as it is played, with the window it is played in; a redraw that "Ок"
        // asked for is drawn by the next tick, in the window of then.
        const std::int32_t width = session_.window().width / kTwipsPerPixel;
        steps_ += steps_of(e, width);
        if (e.command == Command::Tick && session_.game().s.redraw_request == kTrue16)
            steps_ += steps_of(ScriptEvent{Command::Activate, 0, 0}, width);
        if (steps_ > kRecordingMostSteps)
            return "more than " + std::to_string(kRecordingMostSteps) + " steps of play";
        count(e);
        session_.play(e);
        note_points(e);
        return {};
    }

    std::int64_t steps() const { return steps_; }

    std::string finish() const { return loaded_ ? std::string{} : "the program never starts"; }

    Verdict verdict(const ScriptHeader& h) const {
        Verdict v;
        v.recorded = h.score;
        v.replayed = session_.game().s.score;
        v.earned = session_.game().s.earned;
        v.ticks = ticks_;
        v.seconds = std::int32_t(session_.clock().elapsed_ms / 1000);
        v.category = category_of(slowest_, safe_start_, fair_start_);
        v.date = h.date;
        // The play is the clock it started at (whose seconds seed the monsters) and the
        // ticks its points came at: the same whatever the display, the comments, idle
        // keys or comforts that changed nothing around it, and whether the recording goes
        // on past its last points. Without points, its length tells one from another.
        Fnv play;
        play.add(clock_ >= 0 ? clock_ : h.seed);
        play.add(points_.value());
        play.add(v.earned);
        if (v.earned == 0)
            play.add(v.ticks);
        v.fingerprint = play.value();
        v.steps = steps_;
        v.outcome = Verdict::Differs;
        if (v.recorded != v.replayed)
            v.why = "the header says score " + std::to_string(v.recorded) + ", the rules give " +
                    std::to_string(v.replayed);
        else if (h.has_earned && h.earned != v.earned)
            v.why = "the header says " + std::to_string(h.earned) +
                    " points earned, the rules give " + std::to_string(v.earned);
        else if (h.ticks != v.ticks)
            v.why = "the header says " + std::to_string(h.ticks) + " ticks, the game had " +
                    std::to_string(v.ticks);
        else if (h.seconds != v.seconds)
            v.why = "the header says " + std::to_string(h.seconds) + " seconds, the game had " +
                    std::to_string(v.seconds);
        else
            v.outcome = Verdict::Proven;
        return v;
    }

  private:
    // What the program writes before its first game: the sizes and settings it starts with.
    static bool setting(Command c) {
        return c == Command::Display || c == Command::Window || c == Command::Picture ||
               c == Command::Period || c == Command::SafeStart || c == Command::FairStart;
    }

    std::string check(const ScriptEvent& e) {
        if (clock_set_ && e.command != Command::NewGame)
            return "the clock is set outside a new game";
        if (!loaded_ && !setting(e.command) && e.command != Command::Load)
            return "the run does not begin as the program begins one";
        switch (e.command) {
            case Command::Load:
                if (loaded_)
                    return "the program starts twice";
                if (!display_ || !window_ || !picture_)
                    return "the program starts without its display, window and picture";
                break;
            case Command::Display:
                if (!real_display(e.a, e.b))
                    return "a display of " + size_text(e.a, e.b) + " that no one has";
                break;
            case Command::NewGame:
                if (!clock_set_)
                    return "a new game without its clock";
                break;
            case Command::Tick:
                if (!session_.timer_running())
                    return "a tick while the game's timer is stopped";
                break;
            default:
                break;
        }
        return {};
    }

    // Each change of the last game's points, with the tick it came at.
    void note_points(const ScriptEvent& e) {
        const std::int32_t earned = session_.game().s.earned;
        if (e.command == Command::NewGame)
            points_ = Fnv();
        else if (earned != earned_seen_) {
            points_.add(ticks_);
            points_.add(earned);
        }
        earned_seen_ = earned;
    }

    void count(const ScriptEvent& e) {
        switch (e.command) {
            case Command::Display:
                display_ = true;
                break;
            case Command::Window:
                window_ = true;
                break;
            case Command::Picture:
                picture_ = true;
                break;
            case Command::Load:
                loaded_ = true;
                fair_start_ = session_.game().comforts.fair_start;
                break;
            case Command::Clock:
                clock_set_ = true;
                clock_ = e.a;
                break;
            case Command::NewGame:  // what is proven is the last game of the run
                clock_set_ = false;
                ticks_ = 0;
                slowest_ = 0;
                safe_start_ = false;
                fair_start_ = session_.game().comforts.fair_start;
                break;
            case Command::Tick:
                ticks_ += e.a;
                slowest_ = std::max(slowest_, session_.period());
                safe_start_ = safe_start_ || session_.game().comforts.safe_start;
                break;
            default:
                break;
        }
    }

    Session session_;
    std::int64_t steps_ = 0;
    bool loaded_ = false;
    bool display_ = false;
    bool window_ = false;
    bool picture_ = false;
    bool clock_set_ = false;
    std::int32_t ticks_ = 0;
    std::int32_t slowest_ = 0;
    bool safe_start_ = false;
    bool fair_start_ = false;  // the last game began with the fair start
    std::int32_t clock_ = -1;  // the seconds since midnight the last game was seeded with
    Fnv points_;
    std::int32_t earned_seen_ = 0;
};

Verdict refused(Verdict::Outcome outcome, std::string why) {
    Verdict v;
    v.outcome = outcome;
    v.why = std::move(why);
    return v;
}

}  // namespace

std::string category_of(std::int32_t slowest_period, bool safe_start, bool fair_start) {
    std::string name(slowest_period > kClassicPeriod ? "slow" : kHeadline);
    if (safe_start)
        name += "+safe-start";
    if (fair_start)
        name += "+fair-start";
    return name;
}

Verdict verify(std::string_view text) {
    if (std::int64_t(text.size()) > kRecordingMostBytes)
        return refused(Verdict::Refused, "larger than 8 MiB");
    if (std::count(text.begin(), text.end(), '\n') > kRecordingMostLines)
        return refused(Verdict::Refused,
                       "more than " + std::to_string(kRecordingMostLines) + " lines");
    const Script script = parse_script(text);
    const ScriptHeader& h = script.header;
    if (h.recording == 0 || !h.has_seed)
        return refused(Verdict::Unreadable, "not a recorded game");
    if (!script.errors.empty())
        return refused(Verdict::Unreadable, script.errors.front());
    if (h.recording == 1) {
        Verdict v = refused(Verdict::Old, "recorded before proofs were strict");
        v.recorded = h.score;
        return v;
    }
    if (!h.carry.empty())
        return refused(Verdict::Refused, "it carries values into the game instead of playing them");
    if (h.rules < 1 || h.rules > kRulesVersion)
        return refused(Verdict::Refused,
                       h.rules == 0
                           ? std::string("it names no version of the rules")
                           : "played by rules version " + std::to_string(h.rules) +
                                 ", these are versions 1 to " + std::to_string(kRulesVersion));
    if (h.rules < 2 && h.has_earned)
        return refused(Verdict::Refused, "an 'earned' line in a recording of rules version 1");
    if (const std::int64_t steps = steps_of(script.events); steps > kRecordingMostSteps)
        return refused(Verdict::Refused, std::to_string(steps) + " steps of play, more than " +
                                             std::to_string(kRecordingMostSteps));
    // A date no game of these rules can have had is no date: before the rules were
    // made, or after tomorrow.
    const QDateTime date = QDateTime::fromString(QString::fromStdString(h.date), Qt::ISODate);
    if (h.date.empty() || !date.isValid() || date < QDateTime(QDate(2026, 1, 1), QTime(0, 0)) ||
        date > QDateTime::currentDateTime().addDays(1))
        return refused(Verdict::Refused, "no real date");
    Prover prover(h);
    for (const ScriptEvent& e : script.events) {
        if (std::string why = prover.play(e); !why.empty()) {
            Verdict v = refused(Verdict::Refused, std::move(why));
            v.steps = prover.steps();
            return v;
        }
    }
    if (std::string why = prover.finish(); !why.empty())
        return refused(Verdict::Refused, std::move(why));
    return prover.verdict(h);
}

QString printable(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Control characters, and the invisible ones that turn text round or hide it.
        const QChar::Category kind = c.category();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || kind == QChar::Other_Format ||
            kind == QChar::Separator_Line || kind == QChar::Separator_Paragraph)
            shown += u < 0x100 ? QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'))
                               : QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

RecordingFile read_recording(const QString& path, bool follow_links) {
    RecordingFile file;
    file.read = read_regular(path, kRecordingMostBytes, follow_links, file.bytes, file.why);
    if (file.why.startsWith(QLatin1String("larger")))
        file.why = QStringLiteral("larger than 8 MiB");
    return file;
}

}  // namespace grimbolt
