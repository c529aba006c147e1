#include "shell/enhanced/signs.h"

#include <algorithm>

#include "shell/enhanced/best_score.h"
#include "shell/enhanced/overlay.h"
#include "shell/mainfrm.h"

namespace grimbolt {

Signs::Signs(Mainfrm& window, const Options& options, BestScore* best)
    : QObject(&window), window_(window), options_(options), best_(best) {
    overlay_ = new Overlay(window.view());
    best_seen_ = best_ != nullptr ? best_->best() : 0;
    connect(&window, &Mainfrm::commanded, this, [this](Command c) {
        if (c == Command::NewGame)
            on_new_game();
        else if (c == Command::Pause)
            on_pause();
        else if (c == Command::Ok)
            refresh();
    });
    connect(&window, &Mainfrm::presented, this, &Signs::refresh);
}

void Signs::refresh() {
    const Game& game = window_.game();
    if (game.happenings().deaths != deaths_seen_) {
        deaths_seen_ = game.happenings().deaths;
        game_over_ = true;
        best_seen_ =
            best_ != nullptr ? best_->offer(game.s.score) : std::max(best_seen_, game.s.score);
    }
    if (window_.Timer1().enabled())
        paused_ = false;
    if (window_.showing_recorded())
        overlay_->show_playback();
    else if (game_over_ && options_.game_over)
        overlay_->show_game_over(game.s.score, best_seen_);
    else if (paused_ && options_.pause_sign)
        overlay_->show_pause();
    else
        overlay_->clear();
}

void Signs::on_new_game() {
    game_over_ = false;
    refresh();
}

void Signs::on_pause() {
    paused_ = !window_.Timer1().enabled();
    refresh();
}

}  // namespace grimbolt
