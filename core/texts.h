#pragma once
// The texts the game draws, in the language chosen. Russian is the source; with no
// translation installed (always so in the classic edition) they are exactly it.

#include <QCoreApplication>
#include <QString>

namespace grimbolt {

struct Texts {
    QString score;    // the status panel's first line, before the score
    QString fuel;     // its second line, before the fuel
    QString death;    // the death message
    QString shop[5];  // the shop's lines; %1 stands for the number in each but the last

    // The texts as the translations installed now give them.
    static Texts current() {
        const auto in = [](const char* source) {
            return QCoreApplication::translate("Game", source);
        };
        return {in(QT_TRANSLATE_NOOP("Game", "Очки: ")),
                in(QT_TRANSLATE_NOOP("Game", "Топливо: ")),
                in(QT_TRANSLATE_NOOP("Game", "Вы погибли в честном, но неравном бою...")),
                {in(QT_TRANSLATE_NOOP("Game", "Вы набрали %1 очков, и вас пустили в магазин: ")),
                 in(QT_TRANSLATE_NOOP("Game", "1. %1 - увеличение скорострельности.")),
                 in(QT_TRANSLATE_NOOP("Game", "2. %1 - увеличение размера взрыва от ваших пуль.")),
                 in(QT_TRANSLATE_NOOP("Game", "3. %1 - топливо.")),
                 in(QT_TRANSLATE_NOOP("Game", "Esc - вернуться в игру (когда всё купили)."))}};
    }
};

}  // namespace grimbolt
