// Makes every picture in assets/, the same bytes on every run:
//   cmake --build build --target grimbolt-assets && build/grimbolt-assets assets
// Small sprites are drawn here as character art; the fireball, the jet flame, the
// monster and the credits picture are painted from formulas.

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::map<char, QRgb> kInk = {
    {'.', qRgb(0, 0, 0)},       {'w', qRgb(255, 255, 255)}, {'l', qRgb(200, 205, 216)},
    {'g', qRgb(140, 148, 164)}, {'d', qRgb(74, 80, 92)},    {'k', qRgb(42, 46, 54)},
    {'b', qRgb(40, 96, 224)},   {'c', qRgb(96, 208, 255)},  {'r', qRgb(224, 32, 32)},
    {'R', qRgb(144, 16, 16)},   {'o', qRgb(255, 140, 0)},   {'y', qRgb(255, 224, 0)},
    {'Y', qRgb(255, 248, 160)}, {'G', qRgb(48, 176, 48)},   {'D', qRgb(28, 108, 28)},
    {'n', qRgb(138, 90, 42)},   {'N', qRgb(90, 56, 20)},    {'s', qRgb(200, 160, 100)},
};

QImage from_art(const std::vector<std::string>& rows) {
    const int w = int(rows.front().size());
    QImage img(w, int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        if (int(rows[y].size()) != w)
            throw std::runtime_error("ragged art row " + rows[y]);
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, kInk.at(rows[y][x]));
    }
    return img;
}

// ---- character art -------------------------------------------------------------

QImage torso() {
    return from_art({
        ".kddddddddddk.", "kdlllllllllldk", "kdlggggggggldk", "kdlgbbbbbbgldk", "kdlgbccccbgldk",
        "kdlgbcwwcbgldk", "kdlgbccccbgldk", "kdlgbbbbbbgldk", "kdlggggggggldk", "kdlgrgggggyldk",
        "kdlggggggggldk", "kdlddddddddldk", "kdlggggggggldk", "kdlddddddddldk", "kdlggggggggldk",
        "kdlddddddddldk", "kdlggggggggldk", "kdlggggggggldk", "kdlgggbbgggldk", "kdlggbccbggldk",
        "kdlgggbbgggldk", "kdlggggggggldk", "kdlggggggggldk", "kdlllllllllldk", "kddddddddddddk",
        "kdyydyydyydyyk", "kddddddddddddk", ".kggggggggggk.", ".kgdgdgdgdggk.", "..kkkkkkkkkk..",
    });
}

QImage head() {
    return from_art({
        "....kkkkkk....",
        "...kllllllk...",
        "..kllllllllk..",
        ".klgggggggglk.",
        ".klkkkkkkkklk.",
        ".klkkkkrrrklk.",
        ".klkkkkRRRklk.",
        ".klkkkkkkkklk.",
        ".klgggggggglk.",
        ".kldgdgdgdglk.",
        "..kllllllllk..",
        "...kkkkkkkk...",
    });
}

QImage legs_together() {
    std::vector<std::string> rows = {"kkkkkkk", "kgggggk", "kgdgdgk"};
    for (int y = 3; y < 21; ++y) {
        rows.push_back((y == 9 || y == 19)    ? "kdk.kdk"
                       : (y == 10 || y == 20) ? "kgk.kgk"
                                              : "klk.klk");
    }
    rows.push_back("kgk.kgk");
    rows.push_back("kgggggk");
    rows.push_back("kkkkkkk");
    return from_art(rows);
}

QImage legs_stride() {
    return from_art({
        ".....kkkkkkk.....", ".....kgggggk.....", ".....kgdgdgk.....", "....klk...klk....",
        "....klk...klk....", "...klk.....klk...", "...klk.....klk...", "...klk.....klk...",
        "..klk.......klk..", "..kdk.......kdk..", "..kgk.......kgk..", "..klk.......klk..",
        ".klk.........klk.", ".klk.........klk.", ".klk.........klk.", ".kdk.........kdk.",
        "klk...........klk", "klk...........klk", "klk...........klk", "kdk...........kdk",
        "kgk...........kgk", "kgk...........kgk", "kggk.........kggk", "kkkk.........kkkk",
    });
}

QImage gun_level() {
    return from_art({
        "kkkkkkkkkkkkkkkkkkkkkkkk",
        "kggggggggggggggggggggggk",
        "kdbbbbbbbbbbbbbbbbbbbbdk",
        "kggggggggggggggggggggggk",
        "kkkkkkkkkkkkkkkkkkkkkkkk",
    });
}

QImage gun_raised() {
    std::vector<std::string> rows = {"kkkkkkk", "kgggggk"};
    for (int y = 2; y < 22; ++y)
        rows.push_back("kgbbbgk");
    rows.push_back("kgggggk");
    rows.push_back("kkkkkkk");
    return from_art(rows);
}

QImage barrel_level() {
    return from_art({"dddddddk", "lllllldk", "ggggggdk", "lllllldk", "dddddddk"});
}

QImage barrel_upright() {
    return from_art({"kkkkk", "ddddd", "dlgld", "dlgld", "dlgld", "dlgld", "dlgld", "dlgld"});
}

QImage bullet() {
    return from_art({
        "....rrooooyyyyyy...",
        "RRrroooyyyyYYYYwww.",
        "RRrroooyyyyYYYYwww.",
        "....rrooooyyyyyy...",
    });
}

// ---- painted sprites -----------------------------------------------------------

// A repeatable pseudo-random value in [0, 1) for a grid cell.
double hash01(int x, int y, int salt) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u +
                      std::uint32_t(salt) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

QImage tile() {
    QImage img(39, 24, QImage::Format_RGB32);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 39; ++x) {
            char c = 'n';
            if (y == 0) {
                c = (x % 3 == 1) ? '.' : 'G';
            } else if (y < 3) {
                c = (hash01(x, y, 1) < 0.3) ? 'D' : 'G';
            } else {
                const int row = (y - 3) / 7;
                const int offset = (row % 2) * 10;
                const bool mortar = ((y - 3) % 7 == 6) || ((x + offset) % 20 == 19);
                if (mortar) {
                    c = 'N';
                } else if ((y - 3) % 7 == 0 || (x + offset) % 20 == 0) {
                    c = 's';
                } else {
                    c = (hash01(x, y, 2) < 0.15) ? 'N' : 'n';
                }
            }
            img.setPixel(x, y, kInk.at(c));
        }
    }
    return img;
}

QImage jet_flame() {
    QImage img(13, 22, QImage::Format_RGB32);
    img.fill(Qt::black);
    for (int y = 0; y < 22; ++y) {
        const double t = y / 21.0;
        const double half_width = 6.4 * (1.0 - std::pow(t, 1.6)) + 0.4;
        for (int x = 0; x < 13; ++x) {
            const double d = std::abs(x - 6) / half_width;
            if (d > 1.0)
                continue;
            const double heat = (1.0 - d) * (1.0 - 0.7 * t) + 0.15 * hash01(x, y, 3);
            char c = heat > 0.75   ? 'Y'
                     : heat > 0.55 ? 'y'
                     : heat > 0.35 ? 'o'
                     : heat > 0.2  ? 'r'
                                   : 'R';
            img.setPixel(x, y, kInk.at(c));
        }
    }
    return img;
}

QImage fireball() {
    // Sixteen colours: black, then a ramp from deep red to white.
    static const QRgb ramp[] = {
        qRgb(0, 0, 0),       qRgb(48, 0, 0),      qRgb(96, 8, 0),      qRgb(144, 16, 0),
        qRgb(192, 32, 0),    qRgb(224, 56, 0),    qRgb(248, 88, 0),    qRgb(255, 120, 0),
        qRgb(255, 152, 0),   qRgb(255, 184, 16),  qRgb(255, 208, 48),  qRgb(255, 228, 96),
        qRgb(255, 240, 150), qRgb(255, 248, 200), qRgb(255, 252, 232), qRgb(255, 255, 255)};
    const int n = 166;
    const double c = (n - 1) / 2.0;
    QImage img(n, n, QImage::Format_RGB32);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double dx = x - c, dy = y - c;
            const double d = std::sqrt(dx * dx + dy * dy) / (n / 2.0);
            const double angle = std::atan2(dy, dx);
            // Flame tongues: a ragged rim that reaches further at some angles.
            const double rim = 0.86 + 0.1 * std::sin(angle * 7.0) * std::sin(angle * 3.0 + 1.0) +
                               0.04 * hash01(int((angle + 4) * 40), 0, 4);
            const double heat = (1.0 - d / rim) * 1.25 + 0.12 * (hash01(x / 3, y / 3, 5) - 0.5);
            int level = d > rim ? 0 : int(std::clamp(heat, 0.0, 1.0) * 15.0 + 0.999);
            if (d <= rim && level == 0)
                level = 1;
            img.setPixel(x, y, ramp[std::clamp(level, 0, 15)]);
        }
    }
    return img;
}

// The monster faces left: that is how it flies when drawn as stored. Only the tail
// reaches its last columns, at the height of the strip that the game blacks out
// behind a flying monster; wings there would leave trails across the sky.
QImage monster() {
    QImage img(107, 74, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Wings, spread up and back.
    const QColor wing(130, 40, 170), wing_dark(70, 20, 100);
    p.setPen(QPen(wing_dark, 2));
    p.setBrush(wing);
    p.drawPolygon(QPolygonF({{48, 30}, {56, 4}, {70, 13}, {84, 2}, {88, 18}, {90, 15}, {80, 38}}));
    p.drawPolygon(QPolygonF({{44, 36}, {40, 12}, {30, 20}, {26, 8}, {18, 24}}));
    // Body and tail.
    p.setPen(QPen(QColor(20, 90, 30), 2));
    p.setBrush(QColor(60, 180, 70));
    QPainterPath tail;
    tail.moveTo(76, 38);
    tail.cubicTo(88, 36, 96, 42, 105, 37);
    tail.lineTo(104, 44);
    tail.cubicTo(96, 46, 88, 44, 76, 47);
    p.drawPath(tail);
    p.drawEllipse(QRectF(38, 28, 44, 32));
    // Head with a gaping mouth.
    p.drawEllipse(QRectF(8, 22, 40, 34));
    p.setBrush(QColor(90, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawChord(QRectF(6, 38, 30, 18), 100 * 16, 140 * 16);
    p.setBrush(Qt::white);
    for (int i = 0; i < 4; ++i) {
        const double x = 10 + i * 5.5;
        p.drawPolygon(QPolygonF({{x, 44}, {x + 4.5, 44}, {x + 2.2, 50}}));
    }
    // One big eye.
    p.setBrush(QColor(255, 230, 40));
    p.drawEllipse(QRectF(16, 27, 13, 11));
    p.setBrush(QColor(200, 0, 0));
    p.drawEllipse(QRectF(18, 30, 6, 6));
    // Claws.
    p.setPen(QPen(QColor(230, 230, 200), 2));
    p.drawLine(QPointF(52, 58), QPointF(48, 68));
    p.drawLine(QPointF(62, 59), QPointF(60, 70));
    p.drawLine(QPointF(70, 57), QPointF(72, 68));
    return img;
}

// ---- the credits picture and icon ------------------------------------------------

QImage scaled(const QImage& img, int factor) {
    return img.scaled(img.width() * factor, img.height() * factor);
}

QImage credits_picture(const QImage& tile_img, const QImage& monster_img) {
    QImage img(200, 150, QImage::Format_RGB32);
    QPainter p(&img);
    for (int y = 0; y < 150; ++y) {
        p.setPen(QColor(0, 0, 20 + y / 3));
        p.drawLine(0, y, 199, y);
    }
    for (int i = 0; i < 60; ++i) {
        const int x = int(hash01(i, 0, 7) * 200), y = int(hash01(i, 1, 7) * 110);
        p.setPen(i % 3 == 0 ? QColor(255, 255, 0) : i % 3 == 1 ? QColor(80, 120, 255) : Qt::white);
        p.drawPoint(x, y);
    }
    for (int x = -10; x < 200; x += tile_img.width())
        p.drawImage(x, 134, tile_img);
    // The robot, twice its size, on the ground.
    const int hx = 56, hy = 134;
    p.drawImage(hx - 7, hy - 48, scaled(legs_together(), 2));
    p.drawImage(hx - 14, hy - 48 - 60, scaled(torso(), 2));
    p.drawImage(hx - 14, hy - 48 - 60 - 24, scaled(head(), 2));
    p.drawImage(hx + 14, hy - 48 - 20, scaled(gun_level(), 2));
    p.drawImage(hx + 62, hy - 48 - 20, scaled(barrel_level(), 2));
    // The monster's black background must not hide the sky.
    p.setCompositionMode(QPainter::CompositionMode_Lighten);
    p.drawImage(120, 20,
                monster_img.scaled(64, 44, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return img;
}

// The sixteen colours of the classic VGA palette.
const QRgb kVga[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

int nearest_vga(QRgb c) {
    int best = 0;
    long best_d = -1;
    for (int i = 0; i < 16; ++i) {
        const long dr = qRed(c) - qRed(kVga[i]), dg = qGreen(c) - qGreen(kVga[i]),
                   db = qBlue(c) - qBlue(kVga[i]);
        const long d = dr * dr + dg * dg + db * db;
        if (best_d < 0 || d < best_d)
            best = i, best_d = d;
    }
    return best;
}

QImage icon_face(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    const QImage face = size >= 32 ? scaled(head(), 2) : head();
    p.drawImage((size - face.width()) / 2, (size - face.height()) / 2, face);
    return img;
}

// ---- file formats ----------------------------------------------------------------

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// BITMAPINFOHEADER, palette and bottom-up rows: the body of a .bmp and of an icon image.
std::vector<std::uint8_t> dib(const QImage& img, int bits, const std::vector<QRgb>& palette,
                              int header_height) {
    const int w = img.width(), h = img.height();
    const int stride = ((w * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, std::uint32_t(w));
    put32(out, std::uint32_t(header_height));
    put16(out, 1);
    put16(out, unsigned(bits));
    put32(out, 0);  // uncompressed
    put32(out, std::uint32_t(stride * h));
    put32(out, 3780);  // 96 dots per inch
    put32(out, 3780);
    put32(out, std::uint32_t(palette.size()));
    put32(out, 0);
    for (QRgb c : palette) {
        out.push_back(std::uint8_t(qBlue(c)));
        out.push_back(std::uint8_t(qGreen(c)));
        out.push_back(std::uint8_t(qRed(c)));
        out.push_back(0);
    }
    const auto index_of = [&](QRgb c) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if ((palette[i] & 0xFFFFFF) == (c & 0xFFFFFF))
                return int(i);
        }
        throw std::runtime_error("colour missing from palette");
    };
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(std::size_t(stride), 0);
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            if (bits == 24) {
                row[std::size_t(x) * 3] = std::uint8_t(qBlue(c));
                row[std::size_t(x) * 3 + 1] = std::uint8_t(qGreen(c));
                row[std::size_t(x) * 3 + 2] = std::uint8_t(qRed(c));
            } else if (bits == 8) {
                row[std::size_t(x)] = std::uint8_t(index_of(c));
            } else {
                row[std::size_t(x) / 2] |= std::uint8_t(index_of(c) << ((x % 2) ? 0 : 4));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// The picture's own colours in order of first appearance, black first, padded with black.
std::vector<QRgb> palette_of(const QImage& img, int bits) {
    std::vector<QRgb> palette{qRgb(0, 0, 0)};
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) | 0xFF000000u;
            bool known = false;
            for (QRgb p : palette)
                known = known || p == c;
            if (!known)
                palette.push_back(c);
        }
    }
    if (palette.size() > (std::size_t(1) << bits))
        throw std::runtime_error("too many colours");
    palette.resize(std::size_t(1) << bits, qRgb(0, 0, 0));
    return palette;
}

void write_file(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    std::printf("%s\n", qPrintable(path));
}

void write_bmp(const QString& path, const QImage& img, int bits) {
    const std::vector<QRgb> palette = bits == 24 ? std::vector<QRgb>{} : palette_of(img, bits);
    const std::vector<std::uint8_t> body = dib(img, bits, palette, img.height());
    std::vector<std::uint8_t> out{'B', 'M'};
    put32(out, std::uint32_t(14 + body.size()));
    put32(out, 0);
    put32(out, std::uint32_t(14 + 40 + palette.size() * 4));
    out.insert(out.end(), body.begin(), body.end());
    write_file(path, out);
}

void write_icon(const QString& path, const std::vector<QImage>& faces) {
    std::vector<QRgb> palette(std::begin(kVga), std::end(kVga));
    std::vector<std::vector<std::uint8_t>> images;
    for (QImage face : faces) {
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x)
                face.setPixel(x, y, kVga[nearest_vga(face.pixel(x, y))]);
        }
        std::vector<std::uint8_t> body = dib(face, 4, palette, face.height() * 2);
        // The AND mask: every pixel opaque.
        const int mask_stride = ((face.width() + 31) / 32) * 4;
        body.insert(body.end(), std::size_t(mask_stride * face.height()), 0);
        images.push_back(std::move(body));
    }
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, unsigned(faces.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        out.push_back(std::uint8_t(faces[i].width()));
        out.push_back(std::uint8_t(faces[i].height()));
        out.push_back(16);
        out.push_back(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, std::uint32_t(images[i].size()));
        put32(out, offset);
        offset += std::uint32_t(images[i].size());
    }
    for (const auto& body : images)
        out.insert(out.end(), body.begin(), body.end());
    write_file(path, out);
}

void write_jpeg(const QString& path, QImage img) {
    img.setDotsPerMeterX(3780);  // 96 dots per inch
    img.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, "JPEG", 95))
        throw std::runtime_error("no JPEG writer");
    write_file(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets");
    const auto at = [&dir](const char* name) {
        return dir + QLatin1Char('/') + QLatin1String(name);
    };
    try {
        write_bmp(at("Hero_tul.bmp"), torso(), 8);
        write_bmp(at("Hero_head.bmp"), head(), 8);
        write_bmp(at("Hero_feet_0.bmp"), legs_together(), 8);
        write_bmp(at("Hero_feet_1.bmp"), legs_stride(), 8);
        write_bmp(at("Hero_pushk_0.bmp"), gun_raised(), 8);
        write_bmp(at("Hero_pushk_1.bmp"), gun_level(), 8);
        write_bmp(at("Hero_stv_0.bmp"), barrel_upright(), 8);
        write_bmp(at("Hero_stv_1.bmp"), barrel_level(), 8);
        write_bmp(at("vihlop.bmp"), jet_flame(), 8);
        write_bmp(at("vzriv.bmp"), fireball(), 4);
        write_bmp(at("preg.bmp"), tile(), 8);
        write_bmp(at("pul.bmp"), bullet(), 4);
        const QImage monster_img = monster();
        write_jpeg(at("vrag.jpg"), monster_img);
        write_bmp(at("avtor_Picture1.bmp"), credits_picture(tile(), monster_img), 24);
        write_icon(at("avtor.ico"), {icon_face(32), icon_face(16)});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "grimbolt-assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
