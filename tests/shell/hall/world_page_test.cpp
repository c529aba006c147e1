#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include "replay/recorded.h"
#include "shell/hall/kept.h"
#include "shell/hall/playback.h"
#include "shell/hall/world_page.h"
#include "shell/online/world_server.h"

namespace grimbolt {
namespace {

using testing::eventually;

constexpr int kSent = 6;  // the hall window's column of what became of a sent game

// The whole road: joining a real server from the window, sending a kept game, finding it
// on the World page at its rank, and watching it, downloaded and proven here.
TEST(WorldPage, JoinSendSeeAndWatch) {
    WorldServer server;
    const Options none;
    Kept k(&none);
    k.play(120);
    const std::int32_t earned = k.entries().at(0).earned;
    HallWindow* hall = k.open_hall();
    ASSERT_EQ(hall->table()->rowCount(), 1);
    EXPECT_EQ(hall->table()->item(0, kSent)->text(), "не отправлен");
    EXPECT_FALSE(hall->send_button()->isEnabled()) << "nowhere to send it yet";

    WorldPage* page = hall->world_page();
    ASSERT_NE(page, nullptr);
    hall->pages()->setCurrentWidget(page);
    page->server_field()->setText("nowhere at all");
    page->join_button()->click();
    EXPECT_EQ(page->status()->text(), "это не адрес сервера");
    page->server_field()->setText(server.url.toString());
    page->name_field()->setText("Ann");
    page->join_button()->click();
    ASSERT_TRUE(eventually([&] { return k.world->joined(); }))
        << page->status()->text().toStdString();
    // The account is the player's option now, kept with the others.
    EXPECT_EQ(k.enhanced->options_menu().options().world_name, "Ann");
    EXPECT_EQ(k.enhanced->options_menu().options().world_token.size(), 64);
    EXPECT_FALSE(page->server_field()->isVisible());
    // The same name again, whatever its case, is someone's already: one line, and the
    // account stays.
    const QString token = k.world->account().token;
    k.world->join(server.url.toString(), "ANN");
    EXPECT_TRUE(eventually([&] {
        return page->status()->text() == "это имя уже занято на сервере";
    })) << page->status()->text().toStdString();
    EXPECT_EQ(k.world->account().token, token);

    hall->pages()->setCurrentIndex(0);
    hall->table()->selectRow(0);
    ASSERT_TRUE(hall->send_button()->isEnabled());
    hall->send_button()->click();
    EXPECT_TRUE(eventually([&] { return hall->table()->item(0, kSent)->text() == "место 1"; }))
        << hall->table()->item(0, kSent)->text().toStdString();
    EXPECT_FALSE(hall->send_button()->isEnabled()) << "sent once";

    // Opening the page reads the board again.
    QSignalSpy shown(page, &WorldPage::shown);
    hall->pages()->setCurrentWidget(page);
    ASSERT_TRUE(eventually([&] { return !page->rows().empty() && shown.count() >= 1; }))
        << page->status()->text().toStdString();
    EXPECT_EQ(page->board()->item(0, 0)->text(), "1");
    EXPECT_EQ(page->board()->item(0, 1)->text(), "Ann");
    EXPECT_EQ(page->board()->item(0, 2)->text(), QString::number(earned));
    EXPECT_TRUE(page->board()->item(0, 1)->font().bold()) << "the player's own game";

    // The window closes as the game is shown, and is gone soon after.
    const QPointer<HallWindow> window(hall);
    page->board()->selectRow(0);
    page->watch_button()->click();
    ASSERT_TRUE(eventually([&] { return k.window->showing_recorded(); }))
        << (window != nullptr ? page->status()->text().toStdString() : "");
    EXPECT_TRUE(eventually([&] { return window == nullptr || !window->isVisible(); }));
    ASSERT_NE(k.enhanced->hall_menu()->playback(), nullptr);
}

// With the option on, a game that enters the hall is sent by itself; a server that is
// away leaves it waiting, and it arrives once the server is back.
TEST(WorldPage, AGameEnteringTheHallIsSentByItself) {
    QTemporaryDir data;
    Options o;
    o.world_send = true;
    Kept k(&o);
    int port = 0;
    {
        WorldServer server(data.path());
        port = server.url.port();
        k.world->join(server.url.toString(), "Bob");
        ASSERT_TRUE(eventually([&] { return k.world->joined(); }));
    }
    QStringList lines;
    QObject::connect(k.world.get(), &WorldLink::said, [&](const QString& l) { lines << l; });
    k.play(120);
    ASSERT_EQ(k.entries().size(), 1u);
    QFile kept(k.hall.path_of(k.entries()[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray game = kept.readAll();
    ASSERT_TRUE(eventually([&] { return !lines.isEmpty() && !k.world->post().sending(); }));
    EXPECT_EQ(lines, QStringList{"сервер не отвечает"});
    EXPECT_EQ(k.world->fate(game).kind, Outbox::Fate::Waiting);

    WorldServer back(data.path(), port);
    k.world->post().post();
    EXPECT_TRUE(eventually([&] {
        return k.world->fate(game).kind != Outbox::Fate::Waiting && !k.world->post().sending();
    })) << lines.join('|').toStdString();
    EXPECT_EQ(k.world->fate(game).kind, Outbox::Fate::Ranked) << lines.join('|').toStdString();
}

// A recording opened as a file is proven before it is shown; one that proves nothing is
// refused in one line.
TEST(WorldPage, ARecordingOpenedAsAFileIsProvenFirst) {
    Kept k;
    QTemporaryDir dir;
    QFile forged(dir.filePath("forged.grimbolt"));
    ASSERT_TRUE(forged.open(QIODevice::WriteOnly));
    forged.write(with(recorded_game(), "score", "score 9000").c_str());
    forged.close();
    // The refusal is a modal box: it is read and closed from inside its own loop.
    QString told;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->close();
        }
    });
    closer.start(20);
    k.enhanced->hall_menu()->open_recording(forged.fileName());
    ASSERT_TRUE(eventually([&] { return !told.isEmpty(); }));
    EXPECT_TRUE(told.contains("не доказана")) << told.toStdString();
    EXPECT_FALSE(k.window->showing_recorded());

    k.enhanced->hall_menu()->open_recording(
        QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    EXPECT_TRUE(eventually([&] { return k.window->showing_recorded(); }));
}

}  // namespace
}  // namespace grimbolt
