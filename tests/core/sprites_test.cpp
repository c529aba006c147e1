#include <gtest/gtest.h>

#include <QFile>
#include <cstdint>

#include "core/sprites.h"

namespace grimbolt {
namespace {

QByteArray resource(const char* name) {
    QFile f(QStringLiteral(":/assets/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

std::uint32_t u32(const QByteArray& b, int at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t u16(const QByteArray& b, int at) {
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

struct BmpCase {
    const char* file;
    int width, height, bits;
};

TEST(SpriteFiles, AreUncompressedBottomUpBitmapsOfTheirSize) {
    const BmpCase cases[] = {
        {"vihlop.bmp", 13, 22, 8},
        {"vzriv.bmp", 166, 166, 4},
        {"preg.bmp", 39, 24, 8},
        {"pul.bmp", 19, 4, 4},
        {"Hero_stv_0.bmp", 5, 8, 8},
        {"Hero_stv_1.bmp", 8, 5, 8},
        {"Hero_pushk_0.bmp", 7, 24, 8},
        {"Hero_pushk_1.bmp", 24, 5, 8},
        {"Hero_feet_0.bmp", 7, 24, 8},
        {"Hero_feet_1.bmp", 17, 24, 8},
        {"Hero_head.bmp", 14, 12, 8},
        {"Hero_tul.bmp", 14, 30, 8},
        {"avtor_Picture1.bmp", 200, 150, 24},
    };
    for (const BmpCase& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray b = resource(c.file);
        ASSERT_GT(b.size(), 54);
        EXPECT_EQ(b.left(2), QByteArray("BM"));
        EXPECT_EQ(u32(b, 2), std::uint32_t(b.size()));
        EXPECT_EQ(u32(b, 14), 40u);  // BITMAPINFOHEADER
        EXPECT_EQ(std::int32_t(u32(b, 18)), c.width);
        EXPECT_EQ(std::int32_t(u32(b, 22)), c.height);  // positive: bottom-up
        EXPECT_EQ(u16(b, 28), c.bits);
        EXPECT_EQ(u32(b, 30), 0u);  // BI_RGB, uncompressed
        const std::uint32_t colours = u32(b, 46);
        if (c.bits == 24) {
            EXPECT_EQ(u32(b, 10), 54u);  // no palette
        } else {
            EXPECT_EQ(colours, 1u << c.bits);  // a 256- or 16-colour palette
            EXPECT_EQ(u32(b, 10), 54u + 4u * colours);
        }
        const int stride = ((c.width * c.bits + 31) / 32) * 4;
        EXPECT_EQ(b.size() - int(u32(b, 10)), stride * c.height);
    }
}

TEST(SpriteFiles, TheMonsterIsAJfif101JpegAt96Dpi) {
    const QByteArray b = resource("vrag.jpg");
    ASSERT_GT(b.size(), 20);
    EXPECT_EQ(std::uint8_t(b[0]), 0xFF);
    EXPECT_EQ(std::uint8_t(b[1]), 0xD8);
    EXPECT_EQ(b.mid(6, 5), QByteArray("JFIF\0", 5));
    EXPECT_EQ(b[11], 1);  // version 1.01
    EXPECT_EQ(b[12], 1);
    EXPECT_EQ(b[13], 1);  // dots per inch
    EXPECT_EQ(std::uint8_t(b[14]) << 8 | std::uint8_t(b[15]), 96);
    EXPECT_EQ(std::uint8_t(b[16]) << 8 | std::uint8_t(b[17]), 96);
    const QImage img = QImage::fromData(b, "JPEG");
    EXPECT_EQ(img.size(), QSize(107, 74));
    EXPECT_FALSE(img.isGrayscale());
}

TEST(SpriteFiles, TheCreditsIconHasA32And16PixelPictureOf16Colours) {
    const QByteArray b = resource("avtor.ico");
    ASSERT_GT(b.size(), 6 + 32);
    EXPECT_EQ(u16(b, 0), 0);
    EXPECT_EQ(u16(b, 2), 1);  // icon
    ASSERT_EQ(u16(b, 4), 2);
    const int sizes[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const int e = 6 + 16 * i;
        EXPECT_EQ(std::uint8_t(b[e]), sizes[i]);
        EXPECT_EQ(std::uint8_t(b[e + 1]), sizes[i]);
        EXPECT_EQ(std::uint8_t(b[e + 2]), 16);  // colours
        EXPECT_EQ(u16(b, e + 6), 4);            // bits per pixel
        const int at = int(u32(b, e + 12));
        EXPECT_EQ(int(u32(b, at + 4)), sizes[i]);
        EXPECT_EQ(u16(b, at + 14), 4);
    }
}

TEST(Sprites, SizesInTwipsAreThoseOfTheLayout) {
    const Sprites s = Sprites::load();
    const auto size = [](const Sprite& p) { return std::pair{p.W(), p.H()}; };
    using P = std::pair<double, double>;
    EXPECT_EQ(size(s.vrag), P(1605, 1110));
    EXPECT_EQ(size(s.vihlop), P(195, 330));
    EXPECT_EQ(size(s.vzriv), P(2490, 2490));
    EXPECT_EQ(size(s.preg), P(585, 360));
    EXPECT_EQ(size(s.pul), P(285, 60));
    EXPECT_EQ(size(s.Hero_stv[0]), P(75, 120));
    EXPECT_EQ(size(s.Hero_stv[1]), P(120, 75));
    EXPECT_EQ(size(s.Hero_pushk[0]), P(105, 360));
    EXPECT_EQ(size(s.Hero_pushk[1]), P(360, 75));
    EXPECT_EQ(size(s.Hero_feet[0]), P(105, 360));
    EXPECT_EQ(size(s.Hero_feet[1]), P(255, 360));
    EXPECT_EQ(size(s.Hero_head), P(210, 180));
    EXPECT_EQ(size(s.Hero_tul), P(210, 450));
}

TEST(Sprites, AreLoadedReadyToCombineAndDrawOnBlack) {
    const Sprites s = Sprites::load();
    for (const Sprite* p :
         {&s.vrag, &s.vihlop, &s.vzriv, &s.preg, &s.pul, &s.Hero_head, &s.Hero_tul, &s.Hero_feet[0],
          &s.Hero_feet[1], &s.Hero_pushk[0], &s.Hero_pushk[1], &s.Hero_stv[0], &s.Hero_stv[1]}) {
        EXPECT_EQ(p->image.format(), QImage::Format_RGB32);
        // Something to see, and a black surround wherever the picture is not square-filled.
        int lit = 0;
        for (int y = 0; y < p->image.height(); ++y) {
            for (int x = 0; x < p->image.width(); ++x)
                lit += (p->image.pixel(x, y) & 0xFFFFFF) != 0;
        }
        EXPECT_GT(lit, p->image.width() * p->image.height() / 4);
    }
    EXPECT_EQ(s.vzriv.image.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(s.vrag.image.pixel(0, 0) & 0xF0F0F0, 0u);
}

}  // namespace
}  // namespace grimbolt
