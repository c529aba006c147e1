#include <gtest/gtest.h>

#include <QFontInfo>

#include "canvas/surface.h"
#include "core/number_text.h"
#include "fakes.h"

namespace grimbolt {
namespace {

int count_colour(Surface& s, Rgb colour) {
    int n = 0;
    for (int y = 0; y < s.height_px(); ++y) {
        for (int x = 0; x < s.width_px(); ++x)
            n += s.pixel(x, y) == colour;
    }
    return n;
}

TEST(Text, NumbersCarryABlankOrMinusBeforeAndABlankAfter) {
    EXPECT_EQ(number_text(1000), QStringLiteral(" 1000 "));
    EXPECT_EQ(number_text(0), QStringLiteral(" 0 "));
    EXPECT_EQ(number_text(-5), QStringLiteral("-5 "));
    EXPECT_EQ(number_text(-2147483648LL), QStringLiteral("-2147483648 "));
    // Between the texts around it: two blanks after the colon of the status line.
    EXPECT_EQ(QStringLiteral("Очки: ") + number_text(300), QStringLiteral("Очки:  300 "));
}

TEST(Text, EachPrintEndsItsLine) {
    Surface s(300, 200);
    s.set_font_size(12);
    s.set_print_pos(1500, 750);
    const std::int64_t line = s.line_height();
    EXPECT_GT(line, 0);
    EXPECT_EQ(line % 15, 0);
    s.print(QStringLiteral("Вы набрали"));
    EXPECT_EQ(s.current_x(), 0);
    EXPECT_EQ(s.current_y(), 750 + line);
    s.print(QString());  // an empty print still ends a line
    EXPECT_EQ(s.current_y(), 750 + 2 * line);
}

TEST(Text, IsDrawnInTheForeColourBelowThePrintPosition) {
    Surface s(400, 100);
    s.set_font_size(20);
    s.set_fore_colour(kGreen);
    s.set_print_pos(1500, 1500);  // pixel 100, 100 is below the picture: nothing shows
    s.print(QStringLiteral("Вы погибли"));
    EXPECT_EQ(count_colour(s, kBlack), 400 * 100);

    s.set_print_pos(150, 150);  // pixel 10, 10
    s.print(QStringLiteral("Вы погибли"));
    EXPECT_GT(count_colour(s, kGreen), 50);
    // Nothing above or left of the print position.
    for (int x = 0; x < 400; ++x)
        EXPECT_EQ(s.pixel(x, 9), kBlack);
    for (int y = 0; y < 100; ++y)
        EXPECT_EQ(s.pixel(9, y), kBlack);
    // And every inked pixel is a shade of the fore colour.
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 400; ++x)
            EXPECT_EQ(s.pixel(x, y) & 0xFF00FF, 0u);
    }
}

TEST(Text, CyrillicUsesTheGameFontAndRendersEveryLetter) {
    Surface s(600, 40);
    s.set_font_size(12);
    s.set_fore_colour(kWhite);
    s.print(QStringLiteral("ОчкиТопливо"));
    const int ink_cyrillic = count_colour(s, kWhite);
    Surface t(600, 40);
    t.set_font_size(12);
    t.set_fore_colour(kWhite);
    t.print(QString(11, QChar(0xFFFD)));  // what a font without the letters would show
    EXPECT_GT(ink_cyrillic, 40);
    EXPECT_NE(s.image(), t.image());
}

// A clear and the same lines again, on a picture untouched since, draw nothing; after
// anything else was drawn, or with other lines, they are drawn again.
TEST(Text, TheSameLinesOnAnUntouchedPictureAreNotDrawnAgain) {
    Surface s(200, 40, kPanelGrey);
    s.set_fore_colour(kGreen);
    const auto lines = [&s](const QString& second) {
        s.cls();
        s.print(QStringLiteral("Очки:  100 "));
        s.print(second);
        s.flush();
        return s.stats().pixels_touched;
    };
    const std::uint64_t first = lines(QStringLiteral("Топливо:  9 "));
    const QImage shown = s.image();
    EXPECT_EQ(lines(QStringLiteral("Топливо:  9 ")), first);
    EXPECT_EQ(s.image(), shown);

    s.box(0, 0, 3000, 600, kWhite);
    EXPECT_GT(lines(QStringLiteral("Топливо:  9 ")), first);
    EXPECT_EQ(s.image(), shown);
    const std::uint64_t again = s.stats().pixels_touched;
    EXPECT_GT(lines(QStringLiteral("Топливо:  8 ")), again);
    EXPECT_NE(s.image(), shown);
}

TEST(Text, TheStatusPanelHoldsTwoLines) {
    testing::TestGame t;
    PictureBox& panel = t.game.paramspic;
    EXPECT_EQ(panel.width, 5175);
    EXPECT_EQ(panel.height, 495);
    EXPECT_EQ(panel.surface.width_px(), 345);
    EXPECT_EQ(panel.surface.height_px(), 33);
    EXPECT_LE(2 * panel.surface.line_height(), panel.height);
    EXPECT_EQ(panel.surface.fore_colour(), kGreen);
    EXPECT_EQ(panel.surface.pixel(0, 0), kPanelGrey);
    EXPECT_FALSE(panel.visible);
}

}  // namespace
}  // namespace grimbolt
