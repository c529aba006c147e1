#pragma once
// The whole state of a running game: one record of plain variables and fixed tables.

#include <array>
#include <cstdint>

namespace grimbolt {

// 16-bit flags hold -1 for true, 8-bit flags hold 1.
inline constexpr std::int16_t kTrue16 = -1;
inline constexpr std::uint8_t kTrue8 = 1;

// The tile procedures look at rows 0 to 50 whatever was laid: rows that were never
// laid act as tiles at the window's origin. The table itself is larger, so that the
// tile row of a wide display (more than 47 tiles) still reaches the right edge.
inline constexpr int kPregRows = 51;
inline constexpr int kPregCapacity = 1024;
inline constexpr int kPullRows = 51;
inline constexpr int kVzrivRows = 21;
inline constexpr int kVragRows = 51;

struct Preg {
    std::int32_t x = 0;  // left edge
    std::int32_t y = 0;  // top edge
};

struct Pull {
    std::int32_t x = 0;    // left edge
    std::int32_t y = 0;    // top edge
    std::int32_t dir = 0;  // -1 left, 1 right, 0 free
};

struct Vzriv {
    std::int32_t x = 0;  // centre
    std::int32_t y = 0;
    std::int32_t r = 0;  // radius, 0 free
};

struct Vrag {
    double x = 0;          // centre; a real number
    std::int32_t y = 0;    // centre
    std::int16_t dir = 0;  // -1 left, 1 right, 0 free
};

struct GameState {
    std::int32_t score = 0;
    std::int32_t magazine_score = 0;
    std::int16_t in_magazine = 0;
    std::int32_t price_rate = 0;
    std::int32_t price_blast = 0;
    std::int32_t price_fuel = 0;
    std::int32_t fuel = 0;
    std::int16_t reload_time = 0;
    std::int32_t blast_size = 0;
    std::array<std::int32_t, 2> hero_pos{};  // (0) centre x, (1) bottom edge y
    std::int32_t hero_height = 0;
    std::int16_t direction = 0;
    std::int16_t last_direction = 0;
    std::uint8_t walking = 0;
    std::uint8_t flying = 0;
    std::uint8_t on_ground = 0;
    std::uint8_t feet_frame = 0;
    std::uint8_t weapon_pose = 0;
    std::uint8_t since_shot = 0;
    std::uint8_t reload_counter = 0;
    std::int16_t hero_dirty = 0;
    std::int32_t muzzle_x = 0;
    std::int32_t ground_y = 0;
    std::int16_t preg_count = 0;
    std::int16_t vrag_count = 0;
    std::uint8_t vrag_spawn = 0;
    std::int32_t spawn_delay = 0;
    std::int16_t redraw_request = 0;
    // The robot has stood on the tile row since the last restart (for the safe start).
    std::uint8_t landed = 0;
    // Milliseconds of ticks the fair start still keeps the monsters away.
    std::int32_t calm_ms = 0;
    // The points this game earned: 100 for each monster destroyed, whatever the shop took.
    std::int32_t earned = 0;

    std::array<Preg, kPregCapacity> pregs{};
    std::array<Pull, kPullRows> pulls{};
    std::array<Vzriv, kVzrivRows> vzrivs{};
    std::array<Vrag, kVragRows> vrags{};

    // Rows every tile procedure looks at: 0 to 50, and every laid row beyond.
    int preg_rows() const { return preg_count > kPregRows ? preg_count : kPregRows; }
};

}  // namespace grimbolt
