// The main window's menu bar and what its commands do: a new game, pause, exit, the
// speed dialog, and the help and credits windows.

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "shell/input/gamepad.h"
#include "shell/input/key_bindings.h"
#include "shell/input/key_preview.h"
#include "shell/mainfrm.h"

namespace grimbolt {

void Mainfrm::build_menus() {
    game_menu_ = menuBar()->addMenu(QString());
    New_Game = game_menu_->addAction(QString());
    New_Game->setShortcut(Qt::Key_F2);
    Pause = game_menu_->addAction(QString());
    Pause->setShortcut(Qt::Key_F3);
    Exit = game_menu_->addAction(QString());

    options_menu_ = menuBar()->addMenu(QString());
    Music = options_menu_->addAction(QString());
    Music->setCheckable(true);
    Music->setChecked(true);
    Speed = options_menu_->addAction(QString());

    help_menu_ = menuBar()->addMenu(QString());
    How_to_play = help_menu_->addAction(QString());
    How_to_play->setShortcut(Qt::Key_F1);
    Author = help_menu_->addAction(QString());

    Full_Screen = new QAction(this);
    Full_Screen->setShortcut(Qt::Key_F11);
    addAction(Full_Screen);

    // The shortcuts work wherever the focus is in the main window.
    for (QAction* a : {New_Game, Pause, How_to_play, Full_Screen})
        a->setShortcutContext(Qt::WindowShortcut);
    retranslate();
}

void Mainfrm::retranslate() {
    game_menu_->setTitle(tr("Игра"));
    New_Game->setText(tr("Начать новую игру"));
    Pause->setText(tr("Пауза"));
    Exit->setText(tr("Выход"));
    options_menu_->setTitle(tr("Настройки"));
    Music->setText(tr("Музыка вкл/выкл"));
    Speed->setText(tr("Скорость игры"));
    help_menu_->setTitle(tr("Помощь"));
    How_to_play->setText(tr("Как играть..."));
    Author->setText(tr("Автор"));
    Full_Screen->setText(tr("Полный экран"));
    mark_menus();
    emit retranslated();
}

namespace {
// Underlines one letter of each caption, a different one in each list: the first letter
// of a word where it can, another letter otherwise.
void mark(const QList<QAction*>& actions) {
    QString used;
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        QString text = a->text().remove(QLatin1Char('&'));
        int at = -1;
        for (const bool word_start : {true, false}) {
            for (int i = 0; at < 0 && i < text.size(); ++i) {
                const bool starts = i == 0 || !text[i - 1].isLetter();
                if (text[i].isLetter() && (starts || !word_start) &&
                    !used.contains(text[i].toLower()))
                    at = i;
            }
        }
        if (at >= 0) {
            used += text[at].toLower();
            text.insert(at, QLatin1Char('&'));
        }
        a->setText(text);
    }
}
}  // namespace

void Mainfrm::use_keyboard_menus() {
    keyboard_menus_ = true;
    key_preview_->set_menus_first(true);
    auto* open_menus = new QAction(this);
    open_menus->setShortcut(Qt::Key_F10);
    open_menus->setShortcutContext(Qt::WindowShortcut);
    addAction(open_menus);
    connect(open_menus, &QAction::triggered, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
    // A command chosen from the keyboard gives the keys back to the game: on Wayland the
    // menu bar would keep them, and no key would reach the game until a click.
    connect(menuBar(), &QMenuBar::triggered, screen_, [this] { screen_->setFocus(); });
    mark_menus();
}

namespace {

// The menu item of a window command.
QAction* item_of(const Mainfrm& window, Action action) {
    switch (action) {
        case Action::Help:
            return window.How_to_play;
        case Action::NewGame:
            return window.New_Game;
        case Action::Pause:
            return window.Pause;
        case Action::FullScreen:
            return window.Full_Screen;
        default:
            return nullptr;
    }
}

// A command's key or button runs it as its shortcut would.
void run(const Mainfrm& window, Action action) {
    if (QAction* item = item_of(window, action); item != nullptr && item->isEnabled())
        item->trigger();
}

}  // namespace

void Mainfrm::use_gamepad(Gamepad& pad) {
    pad.set_context([this] {
        // As with the keyboard: an open menu or a dialog in front has the pad's buttons.
        const bool front = isActiveWindow() && QApplication::activeModalWidget() == nullptr &&
                           QApplication::activePopupWidget() == nullptr;
        return Gamepad::Context{game_->s.in_magazine != 0, front};
    });
    connect(&pad, &Gamepad::keyDown, this, &Mainfrm::key_down);
    connect(&pad, &Gamepad::keyUp, this, &Mainfrm::key_up);
    connect(&pad, &Gamepad::command, this, [this](Action action) { run(*this, action); });
}

void Mainfrm::use_key_bindings(const KeyBindings& bindings) {
    const bool first = bindings_ == nullptr;
    bindings_ = std::make_unique<KeyBindings>(bindings);
    key_preview_->set_bindings(bindings_.get());
    for (const Action action : {Action::Help, Action::NewGame, Action::Pause, Action::FullScreen}) {
        QList<QKeySequence> shortcuts;
        for (const BoundKey& k : bindings_->of(action)) {
            if (k.scan == 0 && k.qt_key != 0)
                shortcuts << QKeySequence(k.qt_key);
        }
        item_of(*this, action)->setShortcuts(shortcuts);
    }
    if (first)
        connect(key_preview_, &KeyPreview::command, this,
                [this](Action action) { run(*this, action); });
}

void Mainfrm::mark_menus() {
    if (!keyboard_menus_)
        return;
    mark(menuBar()->actions());
    for (QAction* title : menuBar()->actions()) {
        if (QMenu* menu = title->menu()) {
            mark(menu->actions());
            // A menu that opens takes the keyboard: what the game holds is let go first.
            connect(menu, &QMenu::aboutToShow, this, &Mainfrm::release_keys, Qt::UniqueConnection);
        }
    }
}

void Mainfrm::connect_menus() {
    // Each command the player gives runs, then is told: whoever listens hears it after
    // the window has done its part, whatever was connected first.
    const auto command = [this](QAction* item, void (Mainfrm::*run)(), Command said) {
        connect(item, &QAction::triggered, this, [this, run, said] {
            (this->*run)();
            emit commanded(said);
        });
    };
    command(New_Game, &Mainfrm::New_Game_Click, Command::NewGame);
    command(Pause, &Mainfrm::Pause_Click, Command::Pause);
    command(How_to_play, &Mainfrm::How_to_play_Click, Command::Help);
    command(Author, &Mainfrm::Author_Click, Command::Credits);
    connect(Exit, &QAction::triggered, this, &Mainfrm::Exit_Click);
    connect(Music, &QAction::triggered, this, [this] {
        if (!music_switch_)
            Music->setChecked(true);
    });
    connect(Speed, &QAction::triggered, this, &Mainfrm::Speed_Click);
    connect(Full_Screen, &QAction::triggered, this, &Mainfrm::Full_Screen_Click);
    connect(speedpic_->Okbut(), &QPushButton::clicked, this, [this] {
        Okbut_Click();
        emit commanded(Command::Ok);
    });
}

void Mainfrm::New_Game_Click() {
    if (!enter({Command::NewGame, 0, 0}))
        return;
    // The new tile row lies where the display of now puts it, which may fit the window
    // differently: the picture is fitted again and drawn anew.
    if (screen_->fit())
        enter({Command::Activate, 0, 0});  // the same whole redraw
}

void Mainfrm::Pause_Click() {
    enter({Command::Pause, 0, 0});
}

void Mainfrm::Exit_Click() {
    // At once, from any state: no further tick, nothing asked, nothing saved.
    timer_.set_enabled(false);
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void Mainfrm::Speed_Click() {
    if (enter({Command::Speed, 0, 0}))
        speedpic_->open(screen_->size());
}

void Mainfrm::Okbut_Click() {
    speedpic_->hide();
    if (enter({Command::Ok, 0, 0}))
        request_paint();  // the dialog uncovered part of the picture
}

void Mainfrm::Full_Screen_Click() {
    // The window's state change draws the game anew (Mainfrm::changeEvent).
    if (isFullScreen())
        show_maximized();
    else
        showFullScreen();
}

namespace {
// Shows a window of the program, or brings it to the front when it is already open.
void bring_up(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}
}  // namespace

void Mainfrm::How_to_play_Click() {
    if (helpfrm_ == nullptr)
        helpfrm_ = new Helpfrm(this);
    bring_up(helpfrm_);
}

void Mainfrm::Author_Click() {
    if (avtor_ == nullptr)
        avtor_ = new Avtor(this);
    bring_up(avtor_);
}

}  // namespace grimbolt
