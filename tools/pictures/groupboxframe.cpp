#include "groupboxframe.h"

#include "framemetrics.h"

#include <QRgb>

namespace huvolo::pictures {

namespace {

constexpr int frameWidth = framemetrics::FrameWidth;
constexpr int frameHeight = framemetrics::FrameHeight;

// One character per pixel: O outline (index 0), . transparent (index 1),
// s shading (index 2). Index 3 is in the palette but no pixel uses it.
constexpr const char *frameRows[frameHeight] = {
    "..OOOOOOOOOOOOOOOOOO..",
    ".OO................sO.",
    "OO..................ss",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "OO..................ss",
    ".OO................sO.",
    "..OOOOOOOOOOOOOOOOOO..",
};

} // namespace

QImage groupBoxFrame()
{
    QImage image(frameWidth, frameHeight, QImage::Format_Indexed8);
    // The transparent entry keeps its colour, #ECE9D8, with alpha 0.
    image.setColorTable({qRgb(0xD0, 0xD0, 0xBF), qRgba(0xEC, 0xE9, 0xD8, 0),
                         qRgb(0xD3, 0xD3, 0xC5), qRgb(0x00, 0x00, 0x00)});
    for (int y = 0; y < frameHeight; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < frameWidth; ++x) {
            switch (frameRows[y][x]) {
            case 'O': line[x] = 0; break;
            case 's': line[x] = 2; break;
            default: line[x] = 1; break;
            }
        }
    }
    return image;
}

} // namespace huvolo::pictures
