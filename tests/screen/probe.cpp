// Reads a screenshot of the game and answers one question about it, for the tests that
// drive the real program on a real display:
//   probe SHOT robot            the robot's middle (x y) and its pixel count
//   probe SHOT panel            the status panel's box (left top width height)
//   probe SHOT ink Y0 Y1        the share of columns with any ink in rows Y0 to Y1
//   probe SHOT diff OTHER       how many pixels differ, and the box around them
//   probe SHOT dead             1 when the death message shows above the tile row
//   probe SHOT size             width and height

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The greys the robot alone is painted in, from light to darkest.
bool robot_grey(QRgb c) {
    c &= 0xFFFFFFu;
    return c == 0xC8CDD8u || c == 0x8C94A4u || c == 0x4A505Cu || c == 0x2A2E36u;
}

int median(std::vector<int> v) {
    if (v.empty())
        return -1;
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

int robot(const QImage& shot) {
    std::vector<int> xs, ys;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            if (robot_grey(row[x])) {
                xs.push_back(x);
                ys.push_back(y);
            }
        }
    }
    // The median is not moved by the odd monster pixel that happens to match.
    std::printf("%d %d %zu\n", median(xs), median(ys), xs.size());
    return 0;
}

// The panel is a solid box: rows with a run of 50 or more of its grey, where the grey
// of a menu's letters never runs so long.
QRect panel_box(const QImage& shot) {
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        int run = 0;
        for (int x = 0; x < shot.width(); ++x) {
            run = (row[x] & 0xFFFFFFu) == 0x404040u ? run + 1 : 0;
            if (run >= 50)
                box |= QRect(x - run + 1, y, run, 1);
        }
    }
    return box;
}

int panel(const QImage& shot) {
    const QRect box = panel_box(shot);
    std::printf("%d %d %d %d\n", box.left(), box.top(), box.width(), box.height());
    return 0;
}

int ink(const QImage& shot, int y0, int y1) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, shot.height() - 1);
    int inked = 0;
    for (int x = 0; x < shot.width(); ++x) {
        for (int y = y0; y <= y1; ++y) {
            if ((shot.pixel(x, y) & 0xFFFFFFu) != 0) {
                ++inked;
                break;
            }
        }
    }
    std::printf("%.3f\n", shot.width() > 0 ? double(inked) / shot.width() : 0.0);
    return 0;
}

int diff(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        std::printf("%lld 0 0 %d %d\n", static_cast<long long>(a.width()) * a.height(), a.width(),
                    a.height());
        return 0;
    }
    long long n = 0;
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if ((ra[x] & 0xFFFFFFu) != (rb[x] & 0xFFFFFFu)) {
                ++n;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    std::printf("%lld %d %d %d %d\n", n, box.left(), box.top(), box.width(), box.height());
    return 0;
}

// The death message is the only pure green above the status panel.
int dead(const QImage& shot) {
    const QRect box = panel_box(shot);
    const int top = box.isEmpty() ? shot.height() : box.top();
    for (int y = 0; y < top; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            if ((row[x] & 0xFFFFFFu) == 0x00FF00u) {
                std::printf("1\n");
                return 0;
            }
        }
    }
    std::printf("0\n");
    return 0;
}

QImage load(const char* path) {
    return QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: probe SHOT robot|panel|ink Y0 Y1|diff OTHER|dead|size\n");
        return 2;
    }
    const QImage shot = load(argv[1]);
    if (shot.isNull()) {
        std::fprintf(stderr, "probe: cannot read %s\n", argv[1]);
        return 2;
    }
    const char* what = argv[2];
    if (std::strcmp(what, "robot") == 0)
        return robot(shot);
    if (std::strcmp(what, "panel") == 0)
        return panel(shot);
    if (std::strcmp(what, "ink") == 0 && argc == 5)
        return ink(shot, std::atoi(argv[3]), std::atoi(argv[4]));
    if (std::strcmp(what, "diff") == 0 && argc == 4)
        return diff(shot, load(argv[3]));
    if (std::strcmp(what, "dead") == 0)
        return dead(shot);
    if (std::strcmp(what, "size") == 0) {
        std::printf("%d %d\n", shot.width(), shot.height());
        return 0;
    }
    std::fprintf(stderr, "probe: unknown question %s\n", what);
    return 2;
}
