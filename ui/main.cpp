#include <QApplication>

#include "core/system_platform.h"
#include "ui/mainfrm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grimbolt"));

    grimbolt::SystemRandom random;
    grimbolt::SystemClock clock;
    grimbolt::Mainfrm window(random, clock);
    window.show_maximized();
    return QApplication::exec();
}
