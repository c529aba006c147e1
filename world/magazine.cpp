// The shop: a box drawn in the middle of the main window while the timer stands. Points
// buy a faster gun, bigger explosions and fuel; leaving makes the game harder and
// doubles every price.

#include "core/arith.h"
#include "core/game.h"
#include "core/keys.h"

namespace grimbolt {
namespace {

constexpr std::int64_t kShopWidth = 10000;
constexpr std::int64_t kShopHeight = 5000;
constexpr std::int64_t kShopMargin = 100;
constexpr double kShopFontPoints = 12;

constexpr std::int16_t kMostVrags = 50;
constexpr std::uint8_t kSpawnStep = 15;
constexpr std::int32_t kFarewellPoints = 2;

}  // namespace

void Game::magazine() {
    s.in_magazine = kTrue16;
    platform_.timer.set_enabled(false);

    const Size client = client_size();
    const std::int64_t x0 = cint(client.width) / 2 - kShopWidth / 2;
    const std::int64_t y0 = cint(client.height) / 2 - kShopHeight / 2;
    screen.box(x0, y0, x0 + kShopWidth, y0 + kShopHeight, kBlack);
    screen.box_outline(x0, y0, x0 + kShopWidth, y0 + kShopHeight, kBlue);

    screen.set_print_pos(x0 + kShopMargin, y0 + kShopMargin);
    screen.set_font_size(kShopFontPoints);
    screen.set_fore_colour(kGreen);
    const QString lines[] = {
        texts.shop[0].arg(number_text(s.score)),
        texts.shop[1].arg(number_text(s.price_rate)),
        texts.shop[2].arg(number_text(s.price_blast)),
        texts.shop[3].arg(number_text(s.price_fuel)),
        texts.shop[4],
    };
    for (const QString& line : lines) {
        screen.set_print_pos(x0 + kShopMargin, screen.current_y());
        screen.print(line);
    }
    screen.set_fore_colour(kBlack);
}

void Game::magazine_key(std::int16_t key_code) {
    switch (key_code) {
        case key::One:
            buy(s.price_rate, [this] {
                if (s.reload_time - 15 > 0)
                    s.reload_time = wrap<std::int16_t>(s.reload_time - 15);
            });
            break;
        case key::Two:
            buy(s.price_blast,
                [this] { s.blast_size = wrap<std::int32_t>(std::int64_t{s.blast_size} + 100); });
            break;
        case key::Three:
            buy(s.price_fuel, [this] { s.fuel = wrap<std::int32_t>(std::int64_t{s.fuel} + 1000); });
            break;
        case key::Esc:
            leave_magazine();
            break;
        default:
            break;
    }
}

// A purchase needs more points than the price; a refused one changes nothing.
template <class Effect>
void Game::buy(std::int32_t price, Effect effect) {
    if (s.score <= price) {
        ++happenings_.refusals;
        return;
    }
    ++happenings_.purchases;
    s.score = wrap<std::int32_t>(std::int64_t{s.score} - price);
    effect();
    magazine();
}

void Game::leave_magazine() {
    if (s.vrag_count < kMostVrags)
        ++s.vrag_count;
    if (s.vrag_spawn >= kSpawnStep)
        s.vrag_spawn = static_cast<std::uint8_t>(s.vrag_spawn - kSpawnStep);
    s.score = wrap<std::int32_t>(std::int64_t{s.score} + kFarewellPoints);
    platform_.timer.set_enabled(true);
    s.in_magazine = 0;
    redraw_all();
    for (std::int32_t* price : {&s.price_rate, &s.price_blast, &s.price_fuel})
        *price = wrap<std::int32_t>(std::int64_t{*price} * 2);
}

}  // namespace grimbolt
