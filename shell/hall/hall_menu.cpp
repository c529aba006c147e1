#include "shell/hall/hall_menu.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

#include "replay/keeper.h"
#include "replay/proof.h"
#include "replay/recorder.h"
#include "shell/mainfrm.h"
#include "shell/online/world_link.h"

namespace grimbolt {

HallMenu::HallMenu(Mainfrm& window, QMenu& menu, Recorder& recorder, Hall& hall, WorldLink* world)
    : QObject(&window), window_(window), world_(world) {
    keeper_ = new Keeper(hall, this);
    hall_item = menu.addAction(QString());
    connect(hall_item, &QAction::triggered, this, &HallMenu::open_hall);
    connect(&window, &Mainfrm::retranslated, this, &HallMenu::retranslate);
    retranslate();
    recorder.ended = [this](const Recording& game) {
        keeper_->keep(game, [this](const QByteArray& kept) {
            if (auto_send_ && world_ != nullptr)
                world_->send(kept);
        });
    };
    window.add_tap(recorder);
    recorder.begin();
}

void HallMenu::retranslate() {
    hall_item->setText(tr("Рекорды…"));
    window_.mark_menus();
}

void HallMenu::open_hall() {
    if (hall_window_ == nullptr) {
        hall_window_ = new HallWindow(*keeper_, world_, &window_);
        hall_window_->setAttribute(Qt::WA_DeleteOnClose);
        connect(hall_window_, &HallWindow::play_back, this, &HallMenu::play_back);
        connect(hall_window_, &HallWindow::watch, this, &HallMenu::play_back_recording);
        // The game waits while the player looks at the hall, and goes on when the window
        // closes, unless a game to play back was chosen.
        const bool running = window_.Timer1().enabled();
        window_.Timer1().set_enabled(false);
        connect(hall_window_, &QDialog::finished, this, [this, running] {
            if (running && !window_.showing_recorded())
                window_.Timer1().set_enabled(true);
        });
    }
    hall_window_->open();
    hall_window_->raise();
    hall_window_->activateWindow();
}

bool HallMenu::play_back(const QString& path) {
    // The hall's own file, read again as it was proven: never through a link, and never
    // asking more play of the window than a proof would.
    return play_back_script(read_recording(path, false).script());
}

bool HallMenu::play_back_recording(const QByteArray& recording) {
    return play_back_script(
        parse_script(std::string_view(recording.constData(), std::size_t(recording.size()))));
}

void HallMenu::open_recording(const QString& path) {
    const RecordingFile file = read_recording(path);
    const auto refuse = [this, path](const QString& why) {
        QMessageBox box(QMessageBox::Warning, tr("Запись игры"),
                        tr("%1 не показать: %2").arg(printable(path), why), QMessageBox::Ok,
                        &window_);
        box.setTextFormat(Qt::PlainText);  // a file's name is never markup
        box.exec();
    };
    if (!file.read)
        return refuse(file.why);
    keeper_->prove(file.bytes, [this, bytes = file.bytes, refuse](const Verdict& v) {
        if (v.outcome != Verdict::Proven)
            return refuse(tr("не доказана: %1").arg(QString::fromStdString(v.why)));
        play_back_recording(bytes);
    });
}

bool HallMenu::play_back_script(const Script& script) {
    if (script.header.recording == 0 || !script.errors.empty() ||
        steps_of(script.events) > kRecordingMostSteps)
        return false;
    if (playback_ != nullptr) {
        playback_->stop();
        delete playback_;
    }
    playback_ = new Playback(window_, script, this);
    connect(playback_, &Playback::ended, playback_, &QObject::deleteLater);
    emit playing_back();
    return true;
}

}  // namespace grimbolt
