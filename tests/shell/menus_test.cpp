#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

#include "shell/shown_window.h"
#include "shell/surface_view.h"

namespace grimbolt {
namespace {

using testing::eventually;
using testing::Shown;

// The top-left corner the speed dialog takes in a client area of the given pixels.
QPoint centred_speedpic(QSize client) {
    const int left = client.width() * 15 / 2 - 5415 / 2;
    const int top = client.height() * 15 / 2 - 1455 / 2;
    return {int(to_px(left)), int(to_px(top))};
}

TEST(SpeedDialog, EachOpeningLengthensThePeriodByOneMillisecond) {
    Shown s;
    Mainfrm& w = s.window;
    w.Speed_Click();
    EXPECT_FALSE(w.Timer1().enabled());
    EXPECT_TRUE(w.speedpic()->isVisible());
    EXPECT_EQ(w.speedpic()->pos(), centred_speedpic(w.view()->size()));
    EXPECT_EQ(w.HScroll1()->value(), 1950);
    EXPECT_EQ(w.Timer1().interval(), 51);

    QSignalSpy painted(&w, &Mainfrm::formPainted);
    w.game().s.redraw_request = 0;
    w.Okbut()->click();
    EXPECT_TRUE(w.speedpic()->isHidden());
    EXPECT_EQ(w.game().s.redraw_request, -1);
    EXPECT_TRUE(w.Timer1().enabled());
    // Hiding the dialog raises the paint event, and the status panel ends up shown.
    EXPECT_TRUE(eventually([&] { return painted.count() >= 1; }));
    EXPECT_TRUE(eventually([&] { return w.paramspic()->isVisible(); }));
    EXPECT_TRUE(w.game().paramspic.visible);

    w.Speed->trigger();
    EXPECT_EQ(w.HScroll1()->value(), 1949);
    EXPECT_EQ(w.Timer1().interval(), 52);
    w.Okbut_Click();
}

TEST(SpeedDialog, SliderEndsGiveOneAnd2001MillisecondsAndReopeningAt2001Holds) {
    Shown s;
    Mainfrm& w = s.window;
    w.Speed_Click();
    w.HScroll1()->setValue(2000);
    EXPECT_EQ(w.Timer1().interval(), 1);
    w.HScroll1()->setValue(0);
    EXPECT_EQ(w.Timer1().interval(), 2001);
    w.Okbut_Click();

    w.Speed_Click();  // the position would be -1
    EXPECT_EQ(w.HScroll1()->value(), 0);
    EXPECT_EQ(w.Timer1().interval(), 2001);
    w.Okbut_Click();
    // A new game keeps the period.
    w.New_Game->trigger();
    EXPECT_EQ(w.Timer1().interval(), 2001);
    EXPECT_TRUE(w.Timer1().enabled());
}

TEST(Menus, PauseSwitchesTheTimerOverAndNewGameRestartsFromAnyPhase) {
    Shown s;
    Mainfrm& w = s.window;
    w.Pause->trigger();
    EXPECT_FALSE(w.Timer1().enabled());
    w.Pause->trigger();
    EXPECT_TRUE(w.Timer1().enabled());

    w.game().s.score = 1000;
    w.game().magazine();
    ASSERT_FALSE(w.Timer1().enabled());
    w.New_Game->trigger();
    EXPECT_EQ(w.game().s.in_magazine, 0);
    EXPECT_EQ(w.game().s.score, 0);
    EXPECT_TRUE(w.Timer1().enabled());
}

// Runs the event loop with the exit command chosen from it; true when the program ended.
bool exits_from(Mainfrm& w) {
    bool chosen = false;
    QTimer::singleShot(0, &w, [&] {
        chosen = true;
        w.Exit->trigger();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timed_out = false;
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        timed_out = true;
        QApplication::exit(1);
    });
    deadline.start(3000);
    const int code = QApplication::exec();
    return chosen && !timed_out && code == 0;
}

TEST(Menus, ExitEndsTheProgramFromTheShopAndFromTheSpeedDialog) {
    {
        Shown s;
        s.window.How_to_play_Click();
        s.window.game().s.score = 1000;
        s.window.game().magazine();
        EXPECT_TRUE(exits_from(s.window));
        EXPECT_FALSE(s.window.isVisible());
        EXPECT_EQ(s.window.helpfrm(), nullptr);  // closed, and so destroyed
        EXPECT_FALSE(s.window.Timer1().enabled());
    }
    Shown s;
    s.window.Speed_Click();
    EXPECT_TRUE(exits_from(s.window));
    EXPECT_FALSE(s.window.isVisible());
}

TEST(HelpWindow, ShowsTheHelpTextInOneWindowThatFollowsItsSize) {
    Shown s;
    Mainfrm& w = s.window;
    w.How_to_play->trigger();
    Helpfrm* help = w.helpfrm();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Помощь"));
    EXPECT_EQ(help->Text1()->toPlainText(),
              QStringLiteral(
                  "Grimbolt (гримболт). Управление: стрелки вправо, влево; взлёт - \"X\"; поднять "
                  "оружие (запрет на стрельбу) - \"Z\"; стрелять - \"Shift\". Вы должны уничтожить "
                  "монстров. После набора определённого количества очков вас пустят в магазин. Для "
                  "того, чтобы попасть в магазин в следующий раз нужно набрать в два раза больше "
                  "очков. Цены тоже увеличатся в два раза. Совет: не забывайте покупать "
                  "топливо!!!\n"));
    EXPECT_EQ(help->Text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(help->Text1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);

    for (const QSize size : {QSize(312, 213), QSize(500, 90), QSize(120, 400)}) {
        help->resize(size);
        EXPECT_EQ(help->Text1()->geometry(), QRect(QPoint(0, 0), size));
    }
    help->setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(help->Text1()->size(), QSize(0, 0));
    help->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(help->Text1()->size(), help->size());

    w.How_to_play_Click();
    w.How_to_play_Click();
    EXPECT_EQ(w.helpfrm(), help);
    EXPECT_EQ(w.findChildren<Helpfrm*>().size(), 1);
    EXPECT_TRUE(w.Timer1().enabled());  // not modal: the game goes on

    help->close();
    EXPECT_TRUE(eventually([&] { return w.helpfrm() == nullptr; }));
}

TEST(CreditsWindow, ShowsThePictureAndTheCreditAndIsMadeAnewAfterOk) {
    Shown s;
    Mainfrm& w = s.window;
    w.Author->trigger();
    Avtor* credits = w.avtor();
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->windowTitle(), QStringLiteral("О создателе"));
    EXPECT_FALSE(credits->windowIcon().isNull());
    EXPECT_EQ(credits->Picture1()->pixmap().size(), QSize(200, 150));
    EXPECT_EQ(credits->Picture1()->geometry(), QRect(8, 8, 177, 153));  // cuts off the right
    EXPECT_TRUE(credits->Label1()->text().contains(QStringLiteral("2004")));
    EXPECT_EQ(credits->Command1()->text(), QStringLiteral("ОК"));
    w.Author_Click();
    EXPECT_EQ(w.avtor(), credits);

    credits->Command1()->click();
    EXPECT_TRUE(eventually([&] { return w.avtor() == nullptr; }));
    w.Author_Click();
    ASSERT_NE(w.avtor(), nullptr);
    EXPECT_TRUE(w.avtor()->isVisible());
    EXPECT_TRUE(w.Timer1().enabled());
}

}  // namespace
}  // namespace grimbolt
