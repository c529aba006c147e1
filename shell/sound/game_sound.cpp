#include "shell/sound/game_sound.h"

#include "shell/sound/audio.h"

namespace grimbolt {

GameSound::GameSound(const Game& game, Audio& audio, QObject* parent)
    : QObject(parent), game_(game), audio_(audio), heard_(game.happenings()) {}

void GameSound::set_enabled(bool on) {
    enabled_ = on;
    if (!on) {
        audio_.stop_all();
        jet_ = false;
    }
}

void GameSound::hear() {
    const Game& game = game_;
    const Happenings& now = game.happenings();
    if (enabled_) {
        const auto more = [&](std::uint32_t Happenings::*count, Sound sound) {
            if (now.*count != heard_.*count)
                audio_.play(sound);
        };
        more(&Happenings::shots, Sound::Shot);
        more(&Happenings::hits, Sound::Hit);
        more(&Happenings::deaths, Sound::Death);
        more(&Happenings::shops, Sound::Shop);
        more(&Happenings::purchases, Sound::Purchase);
        more(&Happenings::refusals, Sound::Refusal);
        // The jet lifts while it burns fuel and the game runs.
        const bool jet = game.s.flying != 0 && game.s.fuel > 0 && game.platform().timer.enabled();
        if (jet != jet_)
            audio_.loop(Sound::Jet, jet);
        jet_ = jet;
    }
    heard_ = now;
}

}  // namespace grimbolt
