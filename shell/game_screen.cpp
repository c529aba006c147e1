#include "shell/game_screen.h"

#include <algorithm>
#include <cmath>

#include "core/game.h"

namespace grimbolt {

GameScreen::GameScreen(Game& game, QWidget* parent)
    : SurfaceView(&game.screen, parent), game_(game) {
    setFocusPolicy(Qt::StrongFocus);
    paramspic_ = new SurfaceView(&game.paramspic.surface, this);
    paramspic_->setObjectName(QStringLiteral("paramspic"));
    paramspic_->setFocusPolicy(Qt::NoFocus);  // keys belong to the game
    paramspic_->hide();
}

void GameScreen::resizeEvent(QResizeEvent* event) {
    SurfaceView::resizeEvent(event);
    if (showing_other())
        fit_other();
    else
        emit resized();
}

void GameScreen::show_game(Game* other) {
    shown_ = other != nullptr ? other : &game_;
    set_surface(&shown_->screen);
    paramspic_->set_surface(&shown_->paramspic.surface);
    paramspic_->setGeometry(QRect());
    if (showing_other())
        fit_other();
    else
        fit();
    present();
}

void GameScreen::fit_other() {
    const Surface& picture = shown_->screen;
    other_fitted_ = QSize(picture.width_px(), picture.height_px());
    double factor = 1.0;
    if (picture.width_px() > 0 && picture.height_px() > 0)
        factor = std::min(
            {1.0, double(width()) / picture.width_px(), double(height()) / picture.height_px()});
    set_scale(factor);
    paramspic_->set_scale(factor);
    update();
}

bool GameScreen::fit() {
    const QSize client = size();
    const GameState& s = game_.s;
    // The tile row and the status panel on it must stay in sight.
    const std::int64_t bottom =
        std::int64_t{s.ground_y} +
        std::max<std::int64_t>(game_.paramspic.height, std::int64_t(game_.sprites.preg.H()));
    const std::int64_t needed = (bottom + kTwipsPerPixel - 1) / kTwipsPerPixel;
    double factor = 1.0;
    QSize picture = client;
    if (client.height() > 0 && needed > client.height()) {
        factor = double(client.height()) / double(needed);
        picture = QSize(int(std::ceil(client.width() / factor)), int(needed));
    }
    const bool changed = factor != scale() || picture != picture_size_;
    set_scale(factor);
    paramspic_->set_scale(factor);
    picture_size_ = picture;
    size_surface();
    update();
    return changed;
}

void GameScreen::size_surface() {
    Surface& screen = game_.screen;
    if (QSize(screen.width_px(), screen.height_px()) != picture_size_)
        screen.resize(picture_size_.width(), picture_size_.height());
}

QRect GameScreen::to_view(std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height) const {
    const double s = scale();
    const auto at = [s](std::int64_t twips) { return int(std::lround(to_px(twips) * s)); };
    return QRect(at(left), at(top), at(width), at(height));
}

void GameScreen::present() {
    // A watched game sizes its picture as its recording says, from its first events on.
    if (showing_other() &&
        other_fitted_ != QSize(shown_->screen.width_px(), shown_->screen.height_px()))
        fit_other();
    for (const QRect& r : shown_->screen.take_dirty())
        update_surface_rect(r);

    const PictureBox& panel = shown_->paramspic;
    const QRect where = to_view(panel.left, panel.top, panel.width, panel.height);
    if (paramspic_->geometry() != where)
        paramspic_->setGeometry(where);
    if (!shown_->paramspic.surface.take_dirty().empty())
        paramspic_->update();
    if (paramspic_->isHidden() == panel.visible) {
        paramspic_->setVisible(panel.visible);
        if (!panel.visible)
            emit uncovered();
    }
}

}  // namespace grimbolt
