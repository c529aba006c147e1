#include <QApplication>
#include <QIcon>

#include "core/system_platform.h"
#include "ui/mainfrm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grimbolt"));
    // Ties the windows to the desktop entry, so the desktop shows them under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.grimbolt.Grimbolt"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/grimbolt-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    grimbolt::SystemRandom random;
    grimbolt::SystemClock clock;
    grimbolt::Mainfrm window(random, clock);
    window.show_maximized();
    return QApplication::exec();
}
