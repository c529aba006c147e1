#pragma once
// The windows' layouts are given in twips, as the game's drawing is: 15 to a pixel.

#include <QWidget>
#include <cstdint>

#include "canvas/surface.h"

namespace grimbolt {

inline int px(std::int64_t twips) {
    return int(to_px(twips));
}

// Places a control by its layout in twips.
inline void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace grimbolt
