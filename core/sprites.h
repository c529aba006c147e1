#pragma once
// The sprite pictures of the main window. Their sizes are the game's geometry and are
// read from the pictures at each use, 15 twips to a pixel.

#include <QImage>
#include <QString>
#include <array>

namespace grimbolt {

struct Sprite {
    QImage image;  // 32-bit RGB, ready to be combined with the surface

    double W() const { return image.width() * 15.0; }
    double H() const { return image.height() * 15.0; }
};

struct Sprites {
    Sprite Hero_tul;
    Sprite Hero_head;
    std::array<Sprite, 2> Hero_feet;   // 0 together, 1 in stride
    std::array<Sprite, 2> Hero_pushk;  // 0 raised, 1 level
    std::array<Sprite, 2> Hero_stv;    // 0 upright, 1 level
    Sprite vihlop;
    Sprite pul;
    Sprite preg;
    Sprite vrag;
    Sprite vzriv;

    // The pictures built into the program.
    static Sprites load();
    static Sprite load_one(const QString& resource);
};

}  // namespace grimbolt
