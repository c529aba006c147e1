#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/enhanced.h"
#include "app/script_player.h"
#include "shell/enhanced/best_score.h"
#include "shell/enhanced/overlay.h"
#include "shell/shown_window.h"

namespace grimbolt {
namespace {

using testing::eventually;

// What a Settings object said, a line each.
struct Said {
    QStringList lines;
    std::function<void(const QString&)> to() {
        return [this](const QString& line) { lines << line; };
    }
};

// A key as the active dialog gets it: at the control that has its focus.
void key(QWidget* dialog, Qt::Key k) {
    QWidget* focus = dialog->focusWidget();
    QTest::keyClick(focus != nullptr ? focus : dialog, k);
}

void write_file(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The signs show over the view while the game is paused or over, and are gone when it
// goes on or a new game starts; the picture and the state are those of a game without
// them, event for event.
TEST(Enhanced, TheSignsShowOverTheViewAndStayOutOfThePicture) {
    ReplaySetup replay;
    replay.enhanced = true;
    replay.seed = 3;
    ScriptPlayer with(replay);
    ScriptPlayer without(replay);
    auto* enhanced = with.window()->findChild<Enhanced*>();
    ASSERT_NE(enhanced, nullptr);
    Options signs;
    signs.pause_sign = true;
    signs.game_over = true;
    enhanced->options_menu().set_options(signs);
    const Overlay* overlay = enhanced->signs().overlay();
    const auto both = [&](const char* script) {
        const std::vector<ScriptEvent> events = parse_script(script).events;
        with.play(events);
        without.play(events);
        EXPECT_EQ(with.pixel_hash(), without.pixel_hash()) << script;
        EXPECT_EQ(with.state_hash(), without.state_hash()) << script;
        EXPECT_TRUE(without.window()->findChild<Enhanced*>()->signs().overlay()->lines().isEmpty());
    };

    both("tick 20\npause\npaint");
    EXPECT_EQ(overlay->lines(), QStringList{"ПАУЗА"});
    EXPECT_TRUE(overlay->isVisible());
    both("pause");
    EXPECT_TRUE(overlay->lines().isEmpty());  // gone at once
    both("speed\nok");                        // the speed dialog is no pause
    EXPECT_TRUE(overlay->lines().isEmpty());

    // Stand still until a monster comes: the summary, with the best so far.
    for (int i = 0; i < 200 && with.window()->game().happenings().deaths == 0; ++i)
        both("tick 50");
    ASSERT_EQ(with.window()->game().happenings().deaths, 1u);
    const std::int32_t score = with.window()->game().s.score;
    const QStringList summary{QStringLiteral("Очки: %1").arg(score),
                              QStringLiteral("Рекорд: %1").arg(score), "F2 — новая игра"};
    EXPECT_EQ(overlay->lines(), summary);
    both("pause\ntick 3\npaint");  // going on after a death is no new game
    EXPECT_EQ(overlay->lines(), summary);
    both("new\ntick 2");
    EXPECT_TRUE(overlay->lines().isEmpty());

    // With the signs turned off they go at once.
    both("pause");
    EXPECT_FALSE(overlay->lines().isEmpty());
    enhanced->options_menu().set_options(Options{});
    EXPECT_TRUE(overlay->lines().isEmpty());
}

// The keyboard never leaves the robot walking by itself: a menu that opens (F10 here)
// lets go what the game holds, keys go down in a menu bar the player moved to with Alt,
// the help pauses the game until it closes, and Esc closes it and the credits.
TEST(Enhanced, TheKeyboardReachesTheMenusAndNothingSticks) {
    testing::Shown shown;
    Mainfrm& w = shown.window;
    Enhanced enhanced(w, Options{});
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Right);
    ASSERT_NE(w.game().s.walking, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    ASSERT_TRUE(eventually([] { return QApplication::activePopupWidget() != nullptr; }));
    EXPECT_EQ(w.game().s.walking, 0) << "the release the menu took";
    QApplication::activePopupWidget()->close();

    const std::int16_t facing = w.game().s.direction;
    w.menuBar()->setFocus();
    QTest::keyClick(w.menuBar(), facing > 0 ? Qt::Key_Left : Qt::Key_Right);
    EXPECT_EQ(w.game().s.direction, facing);
    w.Pause->trigger();  // a command chosen there gives the keys back to the game
    EXPECT_EQ(QApplication::focusWidget(), w.view());
    w.Pause->trigger();
    // Every menu and item has a letter of its own among its neighbours.
    for (QAction* title : w.menuBar()->actions()) {
        for (const QList<QAction*>& list : {w.menuBar()->actions(), title->menu()->actions()}) {
            QStringList letters;
            for (const QAction* a : list) {
                const qsizetype at = a->text().indexOf('&');
                ASSERT_GE(at, 0) << a->text().toStdString();
                letters << a->text().mid(at + 1, 1).toLower();
            }
            letters.removeDuplicates();
            EXPECT_EQ(letters.size(), list.size());
        }
    }

    const auto active = [](QWidget* window) {
        window->activateWindow();
        return eventually([window] { return QApplication::activeWindow() == window; });
    };
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Right);
    ASSERT_NE(w.game().s.walking, 0);
    w.How_to_play->trigger();
    EXPECT_FALSE(w.Timer1().enabled());
    ASSERT_TRUE(active(w.helpfrm()));
    EXPECT_EQ(w.game().s.walking, 0) << "the release the help window took";
    QTest::keyClick(w.helpfrm(), Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return w.helpfrm() == nullptr; }));
    EXPECT_TRUE(w.Timer1().enabled());
    w.Author->trigger();
    ASSERT_TRUE(active(w.avtor()));
    QTest::keyClick(w.avtor(), Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return w.avtor() == nullptr; }));
}

// Keyboard alone: Space ticks a box, Tab goes on, Enter is OK and keeps the choice; Esc
// is Cancel and changes nothing, on screen or in the file.
TEST(Enhanced, TheOptionsWindowKeepsOnOkAndChangesNothingOnCancel) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Grimbolt/grimbolt.conf");
    Said said;
    Settings settings(path, said.to());
    testing::Shown shown;
    Mainfrm& w = shown.window;
    Enhanced enhanced(w, settings.load(), {.settings = &settings});
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[3]->text().remove('&'), QStringLiteral("Параметры"));
    EXPECT_EQ(menus[3]->menu()->actions().value(0), enhanced.options_menu().options_item);
    EXPECT_EQ(enhanced.options_menu().options_item->text().remove('&'),
              QStringLiteral("Параметры…"));
    EXPECT_TRUE(enhanced.options_menu().options().fair_start);  // a new player's

    enhanced.options_menu().options_item->trigger();
    ASSERT_TRUE(eventually([&] {
        return enhanced.options_menu().options_dialog() != nullptr &&
               enhanced.options_menu().options_dialog()->isVisible();
    }));
    OptionsDialog* dialog = enhanced.options_menu().options_dialog();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    key(dialog, Qt::Key_Tab);
    key(dialog, Qt::Key_Space);  // the safe start
    key(dialog, Qt::Key_Tab);
    key(dialog, Qt::Key_Tab);
    key(dialog, Qt::Key_Tab);
    key(dialog, Qt::Key_Space);  // the pause sign
    key(dialog, Qt::Key_Return);
    EXPECT_TRUE(eventually([&] { return enhanced.options_menu().options_dialog() == nullptr; }));
    EXPECT_TRUE(enhanced.options_menu().options().safe_start);
    EXPECT_TRUE(enhanced.options_menu().options().pause_sign);
    EXPECT_FALSE(enhanced.options_menu().options().remember_speed);
    // The sign at once; the safe start from the next game.
    EXPECT_FALSE(w.game().comforts.safe_start);
    w.New_Game->trigger();
    EXPECT_TRUE(w.game().comforts.safe_start);
    QSettings file(path, QSettings::IniFormat);
    EXPECT_EQ(file.value("play/safe_start").toString(), "true");
    EXPECT_EQ(file.value("play/fair_start").toString(), "true");  // kept from now on
    EXPECT_EQ(file.value("show/pause_sign").toString(), "true");

    const QByteArray kept = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    enhanced.options_menu().options_item->trigger();
    ASSERT_TRUE(eventually([&] { return enhanced.options_menu().options_dialog() != nullptr; }));
    ASSERT_TRUE(QTest::qWaitForWindowActive(enhanced.options_menu().options_dialog()));
    key(enhanced.options_menu().options_dialog(), Qt::Key_Space);
    key(enhanced.options_menu().options_dialog(), Qt::Key_Escape);
    EXPECT_TRUE(eventually([&] { return enhanced.options_menu().options_dialog() == nullptr; }));
    EXPECT_TRUE(enhanced.options_menu().options().safe_start);
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), kept);
    EXPECT_TRUE(said.lines.isEmpty());
}

// The period chosen in the speed dialog and full screen come back at the next start.
TEST(Enhanced, SpeedAndFullScreenAreKeptBetweenRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("grimbolt.conf");
    Said said;
    {
        Settings settings(path, said.to());
        testing::Shown shown;
        Mainfrm& w = shown.window;
        Enhanced enhanced(w, settings.load(), {.settings = &settings});
        Options keep;
        keep.remember_speed = true;
        keep.full_screen = true;
        enhanced.options_menu().set_options(keep);
        w.Speed->trigger();
        w.HScroll1()->setValue(1900);
        w.Okbut()->click();
        ASSERT_TRUE(eventually([&] { return w.isMaximized(); }));
        w.Full_Screen->trigger();
        ASSERT_TRUE(eventually([&] { return w.isFullScreen(); })) << int(w.windowState());
    }
    Settings settings(path, said.to());
    const Options options = settings.load();
    EXPECT_EQ(options.tick_ms, 101);
    EXPECT_TRUE(options.was_full_screen);
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    Enhanced enhanced(w, options, {.settings = &settings});
    EXPECT_EQ(w.Timer1().interval(), 101);
    enhanced.options_menu().show();
    EXPECT_TRUE(eventually([&] { return w.isFullScreen(); }));
    EXPECT_TRUE(said.lines.isEmpty());

    // Without the comforts the next start is the classic's.
    Options off = options;
    off.remember_speed = off.full_screen = false;
    Mainfrm plain(random, clock);
    Enhanced classic_like(plain, off);
    EXPECT_EQ(plain.Timer1().interval(), 50);
    classic_like.options_menu().show();
    EXPECT_TRUE(eventually([&] { return plain.isMaximized(); }));
    EXPECT_FALSE(plain.isFullScreen());
}

// Missing, mistyped and out-of-range values are their defaults, each with one line that
// names its key; the next save writes them right. Of two games, the last to change a
// setting wins and the other's settings stay.
TEST(Settings, BrokenValuesAreDefaultsAndTwoGamesKeepEachOthersSettings) {
    QTemporaryDir dir;
    const QString path = dir.filePath("grimbolt.conf");
    write_file(path,
               "[play]\nsafe_start=banana\nremember_speed=true\ntick_ms=99999\n"
               "[show]\npause_sign=\n[window]\nfull_screen=false\n\x01\xc3\xbf garbage\n");
    Said said;
    Settings first(path, said.to());
    Options o = first.load();
    Options expected;
    expected.remember_speed = true;
    EXPECT_EQ(o, expected);
    EXPECT_EQ(said.lines.size(), 3);
    for (const char* key : {"[play] safe_start", "[play] tick_ms", "[show] pause_sign"})
        EXPECT_EQ(said.lines.filter(key).size(), 1) << key;

    Settings second(path, said.to());
    Options other = second.load();
    said.lines.clear();
    o.pause_sign = true;
    first.save(o);
    other.game_over = true;
    second.save(other);
    o.tick_ms = 120;
    first.save(o);
    Settings third(path, said.to());
    const Options now = third.load();
    EXPECT_TRUE(said.lines.isEmpty()) << said.lines.join('\n').toStdString();
    EXPECT_TRUE(now.pause_sign);
    EXPECT_TRUE(now.game_over);
    EXPECT_TRUE(now.remember_speed);
    EXPECT_EQ(now.tick_ms, 120);
}

// The world's account: kept as given, the file then the player's alone, and a value that
// is too long or holds control characters is its default, named without its value.
TEST(Settings, TheWorldAccountIsKeptForThePlayersEyesOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("grimbolt.conf");
    Said said;
    Settings settings(path, said.to());
    Options o = settings.load();
    EXPECT_TRUE(o.world_server.isEmpty()) << "no server unless the player joins one";
    EXPECT_FALSE(o.world_send);
    o.world_server = "hall.example.org:8640";
    o.world_name = "Ann, the Bold";
    o.world_token = QString(64, 'a');
    o.world_send = true;
    settings.save(o);
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), 0);
    EXPECT_EQ(QFile::permissions(dir.path()) & (QFile::ExeGroup | QFile::ExeOther), 0)
        << "the file is briefly readable while it is written: its folder is not";
    EXPECT_EQ(Settings(path, said.to()).load(), o);

    write_file(path, "[world]\nserver=" + QByteArray(300, 'x') +
                         "\nname=\"A\\tB\"\ntoken=" + QByteArray(64, 's') + "\nsend=yes\n");
    said.lines.clear();
    const Options broken = Settings(path, said.to()).load();
    EXPECT_TRUE(broken.world_server.isEmpty());
    EXPECT_TRUE(broken.world_name.isEmpty());
    EXPECT_FALSE(broken.world_send);
    EXPECT_EQ(broken.world_token, QString(64, 's'));
    EXPECT_EQ(said.lines.size(), 3) << said.lines.join('\n').toStdString();
    EXPECT_FALSE(said.lines.join('\n').contains(QString(64, 's'))) << "a token is never told";
}

// The [keys] section as a player writes it: Qt's key names, two keys with a comma, a key
// by its place; a line that names no key is its default, said once.
TEST(Settings, KeysAreReadAsWrittenAndABrokenLineIsItsDefault) {
    QTemporaryDir dir;
    const QString path = dir.filePath("grimbolt.conf");
    write_file(path,
               "[keys]\nfire=Space\njet=X, Up\ngun=NoSuchKey\nwalk_left=scan:113\n"
               "new_game=Right\npause=\xe1\x9f\x84\nhelp=F10\n"
               "[pad]\nfire=righttrigger\njet=a\ngun=z\nbuy_rate=a\nhelp=none\nnew_game=start\n");
    Said said;
    Settings settings(path, said.to());
    Options o = settings.load();
    EXPECT_EQ(o.keys.of(Action::Fire)[0], (BoundKey{Qt::Key_Space, 0}));
    EXPECT_EQ(o.keys.of(Action::Jet)[1], (BoundKey{Qt::Key_Up, 0}));
    EXPECT_EQ(o.keys.of(Action::WalkLeft)[0].scan, 113u);
    // No key, a key another action has, a mark no keyboard types alone, the menus' F10:
    // each its default, said once.
    for (const Action a : {Action::Gun, Action::NewGame, Action::Pause, Action::Help})
        EXPECT_EQ(o.keys.of(a), KeyBindings::classic().of(a)) << action_word(a);
    // The pad: a button no pad has, and one the pause has in play, are their defaults; A
    // may be the jet's in play and a purchase's in the shop.
    EXPECT_EQ(o.pad.of(Action::Fire), pad::RightTrigger);
    EXPECT_EQ(o.pad.of(Action::Jet), pad::A);
    EXPECT_EQ(o.pad.of(Action::BuyRate), pad::A);
    EXPECT_EQ(o.pad.of(Action::Gun), pad::Y);
    EXPECT_EQ(o.pad.of(Action::NewGame), pad::Back);
    ASSERT_EQ(said.lines.size(), 6) << said.lines.join('\n').toStdString();
    for (const char* key : {"[keys] gun", "[keys] new_game", "[keys] pause", "[keys] help",
                            "[pad] gun", "[pad] new_game"})
        EXPECT_EQ(said.lines.filter(key).size(), 1) << key;

    o.keys.of(Action::Pause) = {BoundKey{Qt::Key_P, 0}, BoundKey{Qt::Key_F3, 0}};
    o.pad.button[std::size_t(Action::FullScreen)] = pad::LeftShoulder;
    settings.save(o);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("pause=P, F3")) << text.toStdString();
    EXPECT_TRUE(text.contains("gun=Z")) << "the broken line put right";
    // So are the lines that took another's key or button: the player saw their defaults.
    EXPECT_TRUE(text.contains("new_game=F2")) << text.toStdString();
    EXPECT_TRUE(text.contains("new_game=back")) << text.toStdString();
    EXPECT_TRUE(text.contains("full_screen=leftshoulder")) << text.toStdString();
    const Options again = Settings(path, said.to()).load();
    EXPECT_EQ(again.keys, o.keys);
    EXPECT_EQ(again.pad, o.pad);
}

// A configuration folder that cannot be written (here a file stands where it should be,
// which stops root too), or read: the defaults, and one line said once.
TEST(Settings, AFolderThatCannotBeUsedLeavesTheDefaultsAndSaysSoOnce) {
    QTemporaryDir dir;
    write_file(dir.filePath("Grimbolt"), "not a folder");
    Said said;
    Settings blocked(dir.filePath("Grimbolt/grimbolt.conf"), said.to());
    EXPECT_EQ(blocked.load(), Options{});
    Options o;
    o.pause_sign = true;
    blocked.save(o);
    o.game_over = true;
    blocked.save(o);
    EXPECT_EQ(said.lines.size(), 1) << said.lines.join('\n').toStdString();

    if (geteuid() != 0) {  // root reads and writes whatever the modes say
        const QString locked = dir.filePath("locked");
        ASSERT_TRUE(QDir().mkpath(locked));
        write_file(locked + "/grimbolt.conf", "[show]\npause_sign=true\n");
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        Said read_only;
        Settings settings(locked + "/grimbolt.conf", read_only.to());
        EXPECT_TRUE(settings.load().pause_sign);
        settings.save(o);
        EXPECT_EQ(read_only.lines.size(), 1);
        QFile::setPermissions(
            locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

// What a folder holds, told without reading anything but its regular files: a save that
// touched a bad settings file, or left a new file beside it, changes it.
QStringList listing(const QString& folder) {
    QStringList lines;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        QString line = entry.fileName();
        if (entry.isSymLink()) {
            line += " -> " + entry.symLinkTarget();
        } else if (entry.isDir()) {
            line += "/ " + listing(entry.filePath()).join(' ');
        } else if (entry.isFile()) {
            QFile file(entry.filePath());
            line += file.open(QIODevice::ReadOnly) ? " " + file.readAll().toHex() : " unread";
        }
        lines << line;
    }
    return lines;
}

// What stands where the settings file should be may be anything at all: anything but a
// small text file gives the defaults, one line that says why, and is left as it was.
TEST(Settings, AFileThatIsNoSettingsFileLeavesTheDefaultsAndSaysWhich) {
    QByteArray noise(4096, '\0');
    QRandomGenerator random(7);
    for (char& c : noise)
        c = char(random.bounded(256));
    noise[100] = '\0';
    QByteArray lines;
    while (lines.size() < 100 * 1024)
        lines += "[show]\npause_sign=true\n";
    Options read;
    read.pause_sign = true;
    struct Case {
        const char* what;
        const char* name;  // a control character in it must not reach the terminal
        std::function<bool(const QString& path)> make;
        const char* said;  // the reason, or nullptr when the file is read
        // Root's save through the link would put a file in place of /dev/zero itself, were
        // the link not left alone: the other cases see to the saves.
        bool save = true;
    };
    const Case cases[] = {
        {"random bytes", "grim\x1b[2Jbolt.conf",
         [&](const QString& path) {
             write_file(path, noise);
             return true;
         },
         "is not text"},
        {"a NUL among good lines", "grimbolt.conf",
         [](const QString& path) {
             write_file(path, QByteArray("[show]\npause_sign=true\n") + '\0');
             return true;
         },
         "is not text"},
        {"broken UTF-8", "grimbolt.conf",
         [](const QString& path) {
             write_file(path, "[show]\npause_sign=true\n# \xc3\x28\n");
             return true;
         },
         "is not text"},
        {"a list of two billion names packed in a value", "grimbolt.conf",
         [](const QString& path) {
             write_file(path,
                        QByteArray("[pad]\nfire=@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)\n"));
             return true;
         },
         "holds packed values"},
        {"100 KiB of good lines", "grimbolt.conf",
         [&](const QString& path) {
             write_file(path, lines);
             return true;
         },
         "is larger than 64 KiB"},
        {"a folder", "grimbolt.conf",
         [](const QString& path) { return QDir().mkpath(path + "/inside"); },
         "is not a regular file"},
        {"a link to /dev/zero", "grimbolt.conf",
         [](const QString& path) { return QFile::link("/dev/zero", path); },
         "is not a regular file", geteuid() != 0},
        {"a FIFO", "grimbolt.conf",
         [](const QString& path) { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         "is not a regular file"},
        {"a settings file", "grimbolt.conf",
         [](const QString& path) {
             write_file(path, "; \xc3\xbf\n[show]\npause_sign=true\n");
             return true;
         },
         nullptr},
        {"a link to a settings file", "grimbolt.conf",
         [](const QString& path) {
             write_file(path + ".real", "[show]\npause_sign=true\n");
             return QFile::link(path + ".real", path);
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        ASSERT_TRUE(c.make(path));
        const QStringList before = listing(dir.path());
        Said said;
        alarm(10);  // opening the FIFO or reading /dev/zero would never end: fail instead
        Settings settings(path, said.to());
        const Options loaded = settings.load();
        if (c.said == nullptr) {
            alarm(0);
            EXPECT_EQ(loaded, read);
            EXPECT_TRUE(said.lines.isEmpty()) << said.lines.join('\n').toStdString();
            continue;
        }
        EXPECT_EQ(loaded, Options{});
        Options changed;
        changed.game_over = true;
        if (c.save) {
            settings.save(changed);
            changed.tick_ms = 80;
            settings.save(changed);
        }
        alarm(0);
        ASSERT_EQ(said.lines.size(), 1) << said.lines.join('\n').toStdString();
        EXPECT_TRUE(said.lines[0].contains(c.said)) << said.lines[0].toStdString();
        EXPECT_TRUE(said.lines[0].contains(QString(path).replace(QChar(0x1b), "\\x1b")))
            << said.lines[0].toStdString();
        EXPECT_EQ(listing(dir.path()), before);
    }
}

// The best score is kept whole and only ever goes up; a broken file counts as none.
TEST(BestScore, KeepsTheBestAndOnlyTheBest) {
    QTemporaryDir dir;
    BestScore best(dir.filePath("Grimbolt"));
    EXPECT_EQ(best.best(), 0);
    EXPECT_EQ(best.offer(1200), 1200);
    EXPECT_EQ(best.offer(800), 1200);
    EXPECT_EQ(BestScore(dir.filePath("Grimbolt")).best(), 1200);
    write_file(dir.filePath("Grimbolt/best.json"), "{\"best\": \"lots\"");
    EXPECT_EQ(BestScore(dir.filePath("Grimbolt")).best(), 0);
    EXPECT_EQ(best.best(), 1200);  // what this game saw stays
}

// Its lock follows the hall's rule: one that is no file costs the ending game no wait,
// and nothing is written without it; the player still sees the best of the game.
TEST(BestScore, ALockThatIsNoFileCostsNoWait) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Grimbolt");
    ASSERT_TRUE(QDir().mkpath(folder + "/best.lock"));
    BestScore best(folder);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(best.offer(1200), 1200);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(BestScore(folder).best(), 1200) << "kept all the same";
    // A pipe in the best score's place would hold a reader for good: it is no score.
    const QString pipe = dir.filePath("piped");
    ASSERT_TRUE(QDir().mkpath(pipe));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe + "/best.json").constData(), 0600), 0);
    EXPECT_EQ(BestScore(pipe).best(), 0);
}

}  // namespace
}  // namespace grimbolt
