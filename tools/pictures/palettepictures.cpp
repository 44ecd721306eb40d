#include "palettepictures.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace huvolo::pictures {

namespace {

constexpr int pictureSize = 236;
constexpr QRgb white = 0xffffffff;

using Table = std::array<std::array<QRgb, 16>, 16>;

constexpr Table opaque(Table rows)
{
    for (auto &row : rows)
        for (QRgb &colour : row)
            colour |= 0xff000000u;
    return rows;
}

constexpr Table swatches = opaque({{
    {{0x000000, 0x252525, 0x343434, 0x4e4e4e, 0x686868, 0x757575, 0x8e8e8e, 0xa4a4a4,
      0xb8b8b8, 0xc5c5c5, 0xd0d0d0, 0xd7d7d7, 0xe1e1e1, 0xeaeaea, 0xf4f4f4, 0xffffff}},
    {{0x412000, 0x542800, 0x763701, 0x9a5000, 0xc36807, 0xe47b06, 0xff911a, 0xffab1d,
      0xffc51e, 0xffd03c, 0xffd84c, 0xffe651, 0xfef455, 0xfff970, 0xffff90, 0xfffeaa}},
    {{0x461904, 0x721f11, 0x9f241d, 0xb33920, 0xc85120, 0xe36920, 0xfc8121, 0xfd8c25,
      0xfe982c, 0xffae38, 0xffb946, 0xffbf51, 0xffc66d, 0xffd687, 0xffe498, 0xffe7ab}},
    {{0x5d1e0c, 0x7a240d, 0x982c0f, 0xb02f0f, 0xbf3624, 0xd34e2a, 0xe7623e, 0xf36e4a,
      0xfe7854, 0xff8a69, 0xff987d, 0xffa48a, 0xffb39e, 0xffc1b2, 0xffd0c3, 0xffdad1}},
    {{0x4a1801, 0x721f01, 0xa81300, 0xc72109, 0xdf2511, 0xec3b24, 0xfa5237, 0xfc6148,
      0xff705f, 0xff7e7e, 0xff908f, 0xff9d9e, 0xffaaad, 0xffb8bc, 0xffc7ce, 0xffcade}},
    {{0x490037, 0x66004b, 0x80035f, 0x960f75, 0xaa2288, 0xba3d99, 0xca4da9, 0xd75ab6,
      0xe467c3, 0xef72ce, 0xfb7eda, 0xff8de1, 0xfe9de5, 0xffa5e8, 0xffafea, 0xfeb8ec}},
    {{0x48036d, 0x5c0487, 0x650d90, 0x7a23a6, 0x933bbe, 0x9c45c8, 0xa64fd2, 0xb15add,
      0xbc65e9, 0xc46df1, 0xcd76f9, 0xd583ff, 0xda90ff, 0xde9cff, 0xe2a9fe, 0xe6b7ff}},
    {{0x051e82, 0x0726a5, 0x082fca, 0x253dd3, 0x444cdd, 0x4f5aec, 0x5a68ff, 0x6575ff,
      0x7183ff, 0x8091ff, 0x90a0ff, 0x97a9ff, 0x9fb2ff, 0xafbeff, 0xc0ccff, 0xcdd2ff}},
    {{0x0b0778, 0x201c8d, 0x3531a2, 0x4642b3, 0x5753c4, 0x615dce, 0x6d69da, 0x7b77e8,
      0x8985f6, 0x918dfe, 0x9c98ff, 0xa7a4ff, 0xb2affe, 0xbbb8ff, 0xc3c1ff, 0xd3d1ff}},
    {{0x1d295b, 0x1d3876, 0x1d4892, 0x1d5cac, 0x1d71c7, 0x3286cf, 0x489bd9, 0x4ea9ec,
      0x55b5ff, 0x69caff, 0x74cbff, 0x82d3ff, 0x8ddafe, 0x9fd4fe, 0xb4e2ff, 0xc1ebff}},
    {{0x004b59, 0x005d6e, 0x006f84, 0x00849b, 0x0199c0, 0x01abca, 0x00bcdf, 0x00d0f5,
      0x10dcff, 0x3ee2fe, 0x65e7ff, 0x76ebff, 0x8bedff, 0x99efff, 0xb1f3ff, 0xc7f6ff}},
    {{0x004800, 0x005400, 0x036b03, 0x0f750e, 0x188018, 0x279227, 0x36a436, 0x4eb94e,
      0x51cd51, 0x72da72, 0x7ce47c, 0x85ed85, 0x99f299, 0xb3f7b3, 0xc3fac3, 0xcdfccd}},
    {{0x164000, 0x1c5300, 0x236600, 0x287700, 0x2e8c00, 0x3a980c, 0x47a519, 0x52af23,
      0x5cba2e, 0x72cf43, 0x85e357, 0x8deb5f, 0x97f569, 0xa0fe72, 0xb1fe8a, 0xbcff9a}},
    {{0x2c3500, 0x394400, 0x455201, 0x485600, 0x607100, 0x6c7f01, 0x798d0a, 0x8b9f1c,
      0x9eb22f, 0xabbf3c, 0xb8cc49, 0xc2d653, 0xcde153, 0xdbef6c, 0xe8fc79, 0xf2ffab}},
    {{0x463a0a, 0x4d3f0a, 0x54450a, 0x6c5809, 0x907608, 0xab8c0a, 0xc1a220, 0xd0b12f,
      0xdebf3d, 0xe6c745, 0xedce4c, 0xf5d862, 0xfbe276, 0xfced98, 0xfdf4a9, 0xfdf3be}},
    {{0x401a02, 0x581f05, 0x702408, 0x8d3913, 0xab511f, 0xb46427, 0xbf7730, 0xd0853a,
      0xe19244, 0xeda04e, 0xf9ad58, 0xfcb75c, 0xffc05f, 0xffca6a, 0xffcf7e, 0xffda96}},
}});

// Hue at every 15 degrees of wheel angle, from 0 to 360 inclusive.
constexpr std::array<double, 25> huePerStep = {
    0, 9, 18, 26.5, 35, 41, 47.5, 53.5, 59.5, 78, 98.5, 120, 136.5,
    154, 171, 187, 202.5, 218.5, 234, 250.5, 267.5, 283.5, 300, 330, 360};
constexpr double hueStepDegrees = 15.0;

int channel(double unit)
{
    return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

// Red, green and blue in [0, 1] of the colour with the given hue and saturation at full value.
std::array<double, 3> fullValueRgb(double hue, double saturation)
{
    const double sector = hue / 60.0;
    const double low = 1.0 - saturation;
    const double mid = low + saturation * (1.0 - std::abs(std::fmod(sector, 2.0) - 1.0));
    switch (static_cast<int>(sector)) {
    case 0: return {1.0, mid, low};
    case 1: return {mid, 1.0, low};
    case 2: return {low, 1.0, mid};
    case 3: return {low, mid, 1.0};
    case 4: return {mid, low, 1.0};
    default: return {1.0, low, mid};
    }
}

// Length of the overlap of [a0, a1) and [b0, b1).
double overlap(double a0, double a1, double b0, double b1)
{
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

} // namespace

std::array<double, 3> wheelColour(double angleDegrees, double saturation)
{
    return fullValueRgb(wheelHue(angleDegrees), std::clamp(saturation, 0.0, 1.0));
}

double wheelHue(double angleDegrees)
{
    if (!std::isfinite(angleDegrees))
        return 0.0;
    const double angle = std::fmod(std::fmod(angleDegrees, 360.0) + 360.0, 360.0);
    const double step = angle / hueStepDegrees;
    const int index = std::min(static_cast<int>(step), int(huePerStep.size()) - 2);
    const double hue = std::lerp(huePerStep[index], huePerStep[index + 1], step - index);
    return hue >= 360.0 ? hue - 360.0 : hue;
}

QImage colourWheel()
{
    constexpr double centre = 118.0;
    constexpr double radius = 100.0;

    QImage image(pictureSize, pictureSize, QImage::Format_RGB32);
    for (int y = 0; y < pictureSize; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < pictureSize; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = centre - (y + 0.5);
            const double distance = std::hypot(dx, dy);
            // The share of the pixel inside the disc, so the rim fades into white over one pixel.
            const double coverage = std::clamp(radius + 0.5 - distance, 0.0, 1.0);
            if (coverage == 0.0) {
                line[x] = white;
                continue;
            }
            const auto rgb = wheelColour(qRadiansToDegrees(std::atan2(dy, dx)), distance / radius);
            const auto blend = [coverage](double unit) {
                return channel(coverage * unit + (1.0 - coverage));
            };
            line[x] = qRgb(blend(rgb[0]), blend(rgb[1]), blend(rgb[2]));
        }
    }
    return image;
}

QImage swatchGrid()
{
    constexpr double left = 3.0;
    constexpr double top = 32.0;
    constexpr double tileWidth = 14.375;
    constexpr double tileHeight = 10.75;

    // Tile edges are multiples of 1/8, so these areas and sums are exact.
    QImage image(pictureSize, pictureSize, QImage::Format_RGB32);
    for (int y = 0; y < pictureSize; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < pictureSize; ++x) {
            double red = 0.0, green = 0.0, blue = 0.0, covered = 0.0;
            for (int row = 0; row < 16; ++row) {
                const double height = overlap(y, y + 1, top + row * tileHeight,
                                              top + (row + 1) * tileHeight);
                if (height == 0.0)
                    continue;
                for (int column = 0; column < 16; ++column) {
                    const double area = height * overlap(x, x + 1, left + column * tileWidth,
                                                         left + (column + 1) * tileWidth);
                    const QRgb colour = swatches[row][column];
                    red += area * qRed(colour);
                    green += area * qGreen(colour);
                    blue += area * qBlue(colour);
                    covered += area;
                }
            }
            const double background = (1.0 - covered) * 255.0;
            line[x] = qRgb(int(std::lround(red + background)), int(std::lround(green + background)),
                           int(std::lround(blue + background)));
        }
    }
    return image;
}

const std::array<std::array<QRgb, 16>, 16> &swatchTable()
{
    return swatches;
}

} // namespace huvolo::pictures
