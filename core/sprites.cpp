#include "core/sprites.h"

namespace grimbolt {

Sprite Sprites::load_one(const QString& resource) {
    QImage image(resource);
    return Sprite{image.convertToFormat(QImage::Format_RGB32)};
}

Sprites Sprites::load() {
    const auto one = [](const char* name) {
        return load_one(QStringLiteral(":/assets/") + QLatin1String(name));
    };
    Sprites s;
    s.Hero_tul = one("Hero_tul.bmp");
    s.Hero_head = one("Hero_head.bmp");
    s.Hero_feet = {one("Hero_feet_0.bmp"), one("Hero_feet_1.bmp")};
    s.Hero_pushk = {one("Hero_pushk_0.bmp"), one("Hero_pushk_1.bmp")};
    s.Hero_stv = {one("Hero_stv_0.bmp"), one("Hero_stv_1.bmp")};
    s.vihlop = one("vihlop.bmp");
    s.pul = one("pul.bmp");
    s.preg = one("preg.bmp");
    s.vrag = one("vrag.jpg");
    s.vzriv = one("vzriv.bmp");
    return s;
}

}  // namespace grimbolt
