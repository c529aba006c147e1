#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/enhanced.h"
#include "core/keys.h"
#include "replay/hall.h"
#include "replay/keeper.h"
#include "replay/recorder.h"
#include "replay/state_hash.h"
#include "shell/enhanced/overlay.h"
#include "shell/hall/hall_window.h"
#include "shell/hall/kept.h"
#include "shell/hall/playback.h"
#include "shell/shown_window.h"

namespace grimbolt {
namespace {

using testing::eventually;

TEST(HallWindow, AnEndedGameIsListedProvenAndCanBeWatched) {
    Kept k;
    k.play(120);
    k.play(60);
    ASSERT_EQ(k.entries().size(), 2u);
    EXPECT_EQ(k.entries()[0].ticks + k.entries()[1].ticks, 180);
    for (int i = 0; i < 10; ++i)
        k.window->elapse_period();

    HallWindow* hall = k.open_hall();
    ASSERT_EQ(hall->table()->rowCount(), 2);
    EXPECT_EQ(hall->table()->item(0, 7)->text(), "✓ доказано");
    EXPECT_EQ(hall->table()->item(1, 7)->text(), "✓ доказано");
    EXPECT_EQ(hall->table()->item(0, 5)->text(), "классика");
    // Ten rows fit the window as it opens, below the column titles.
    QTableWidget* table = hall->table();
    EXPECT_GE(table->viewport()->height(), 10 * table->verticalHeader()->defaultSectionSize());
    EXPECT_EQ(table->item(0, 3)->text(), QString("%1:%2")
                                             .arg(k.entries()[0].seconds / 60)
                                             .arg(k.entries()[0].seconds % 60, 2, 10, QChar('0')));

    // Watching: the window shows the recorded game, which moves by itself; the player's
    // game stands still.
    const std::uint64_t before = state_hash(k.window->game().s);
    hall->table()->selectRow(0);
    hall->play_back_button()->click();
    ASSERT_TRUE(k.window->showing_recorded());
    EXPECT_FALSE(k.window->Pause->isEnabled());
    EXPECT_EQ(k.enhanced->signs().overlay()->lines(),
              QStringList{"Запись: любая клавиша — новая игра"});
    EXPECT_EQ(k.entries().size(), 3u) << "the game that was going on ended";
    Playback* watcher = k.enhanced->hall_menu()->playback();
    ASSERT_NE(watcher, nullptr);
    EXPECT_EQ(&k.window->view()->surface(), &watcher->game().screen);
    EXPECT_TRUE(eventually([&] { return watcher->game().s.hero_pos[0] > 1000; }));
    EXPECT_EQ(state_hash(k.window->game().s), before);

    // Any key ends it and starts a new game of the player's.
    const std::size_t kept = k.entries().size();
    QSignalSpy new_game(k.window->New_Game, &QAction::triggered);
    k.window->key_down(key::Z, 0);
    EXPECT_EQ(new_game.count(), 1) << "the new game as F2 starts it";
    EXPECT_FALSE(k.window->showing_recorded());
    EXPECT_TRUE(k.window->Pause->isEnabled());
    EXPECT_EQ(&k.window->view()->surface(), &k.window->game().screen);
    EXPECT_TRUE(k.window->Timer1().enabled());
    EXPECT_EQ(k.entries().size(), kept);
    EXPECT_TRUE(eventually([&] { return k.enhanced->hall_menu()->playback() == nullptr; }));
    EXPECT_TRUE(k.said.isEmpty());

    // Watching again, one game after another, and the program closes meanwhile.
    ASSERT_TRUE(k.enhanced->hall_menu()->play_back(k.hall.path_of(k.entries()[1])));
    ASSERT_TRUE(k.enhanced->hall_menu()->play_back(k.hall.path_of(k.entries()[0])));
    EXPECT_EQ(&k.window->view()->surface(), &k.enhanced->hall_menu()->playback()->game().screen);
    QTest::qWait(100);
    k.window.reset();
}

// A watched game's picture, whatever size its recording gives it, is shown whole: scaled
// down to the window, never up.
TEST(HallWindow, AWatchedPictureFitsTheWindow) {
    testing::TestGame player;
    testing::TestGame watched;
    GameScreen screen(player.game, nullptr);
    screen.resize(400, 300);
    watched.game.screen.resize(0, 0);
    screen.show_game(&watched.game);
    watched.game.screen.resize(1600, 600);
    screen.present();
    EXPECT_DOUBLE_EQ(screen.scale(), 0.25);
    watched.game.screen.resize(200, 100);
    screen.present();
    EXPECT_DOUBLE_EQ(screen.scale(), 1.0);
    screen.show_game(nullptr);
    EXPECT_EQ(&screen.surface(), &player.game.screen);
}

// A recording that does not give its score stays in the hall, shown as unproven, with no
// place and no score.
TEST(HallWindow, AGameItsRecordingDoesNotProveIsShownUnproven) {
    Kept k;
    k.play(80);
    const HallEntry entry = k.entries().front();
    QFile file(k.hall.path_of(entry));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    text.replace("score " + QByteArray::number(entry.score), "score 777700");
    file.resize(0);
    file.write(text);
    file.close();
    HallWindow* hall = k.open_hall();
    ASSERT_EQ(hall->table()->rowCount(), 1);
    EXPECT_EQ(hall->table()->item(0, 1)->text(), "");
    EXPECT_EQ(
        hall->table()->item(0, 7)->text(),
        QString("не доказан: the header says score 777700, the rules give %1").arg(entry.score));
    EXPECT_FALSE(hall->play_back_button()->isEnabled());
}

}  // namespace
}  // namespace grimbolt
