#include "shell/enhanced/help_windows.h"

#include <QShortcut>
#include <utility>

#include "shell/enhanced/keys_dialog.h"
#include "shell/input/key_bindings.h"
#include "shell/mainfrm.h"

namespace grimbolt {
namespace {

void close_on_escape(QWidget* window) {
    const QString name = QStringLiteral("close_on_escape");
    if (window == nullptr || window->findChild<QShortcut*>(name) != nullptr)
        return;
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window, window, &QWidget::close);
    escape->setObjectName(name);
}

}  // namespace

HelpWindows::HelpWindows(Mainfrm& window) : QObject(&window), window_(window) {
    // The keys in the help are said in the language of now.
    connect(&window, &Mainfrm::retranslated, this, [this] {
        if (window_.helpfrm() != nullptr && window_.key_bindings() != nullptr)
            window_.helpfrm()->set_keys_text(KeysDialog::summary(*window_.key_bindings()));
    });
    connect(&window, &Mainfrm::commanded, this, [this](Command c) {
        if (c == Command::Help)
            on_help();
        else if (c == Command::Credits)
            on_credits();
        else if (c == Command::Pause)
            on_pause();
    });
}

void HelpWindows::on_help() {
    Helpfrm* help = window_.helpfrm();
    if (help == nullptr)
        return;
    close_on_escape(help);
    if (const KeyBindings* keys = window_.key_bindings())
        help->set_keys_text(KeysDialog::summary(*keys));
    connect(help, &QObject::destroyed, this, &HelpWindows::on_help_closed, Qt::UniqueConnection);
    // Through the game's own pause, so that a recording of the game pauses there too.
    if (!help_paused_ && window_.Timer1().enabled() && !window_.showing_recorded()) {
        help_paused_ = true;
        window_.Pause_Click();
    }
}

void HelpWindows::on_help_closed() {
    if (std::exchange(help_paused_, false) && !window_.Timer1().enabled())
        window_.Pause_Click();
}

void HelpWindows::on_pause() {
    help_paused_ = false;  // the player's own pause stands as the player left it
}

void HelpWindows::on_credits() {
    close_on_escape(window_.avtor());
}

}  // namespace grimbolt
