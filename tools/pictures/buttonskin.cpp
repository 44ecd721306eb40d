#include "buttonskin.h"

#include "skinmetrics.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <array>
#include <cmath>

namespace huvolo::pictures {

namespace {

using namespace skinmetrics;

constexpr int lastX = CellWidth - 1;
constexpr int lastY = CellHeight - 1;
constexpr int paletteSize = 256;

constexpr QRgb frame = 0x003C74;

// The face of the plain button, row by row (rows 0 and 20 are the frame).
constexpr std::array<QRgb, CellHeight> plainFace = {
    frame, 0xFFFFFF, 0xFEFEFE, 0xFCFCFB, 0xFAFAF9, 0xF8F8F6, 0xF6F6F3, 0xF6F6F2, 0xF5F5F1, 0xF4F4F0, 0xF3F3EF,
    0xF3F3EE, 0xF2F2ED, 0xF1F1ED, 0xF1F1EC, 0xF0F0EB, 0xF0F0EA, 0xECEBE6, 0xE2DFD6, 0xD6D0C5, frame};

// The pressed face: darkest at the top, lightening towards the bottom.
constexpr std::array<QRgb, CellHeight> pressedFace = {
    frame, 0xD1CCC1, 0xDCD8CF, 0xE5E4DD, 0xE6E6E0, 0xE5E4DE, 0xE4E3DC, 0xE4E3DC, 0xE3E3DB, 0xE3E2DA, 0xE2E1DA,
    0xE2E1D9, 0xE2E1D9, 0xE1E0D9, 0xE1E0D8, 0xE0E0D7, 0xE0E0D7, 0xE2E2DA, 0xEAE9E3, 0xF2F1EE, frame};

bool onRing(int x, int y)
{
    return x == 0 || y == 0 || x == lastX || y == lastY;
}

bool inSideBand(int x)
{
    return x == 1 || x == 2 || x == lastX - 2 || x == lastX - 1;
}

QRgb darker(QRgb colour, int red, int green, int blue)
{
    return qRgb(std::max(qRed(colour) - red, 0), std::max(qGreen(colour) - green, 0),
                std::max(qBlue(colour) - blue, 0));
}

// A linear run from `from` at row `top` to `to` at row `bottom`, held beyond them.
QRgb along(QRgb from, QRgb to, int top, int bottom, int y)
{
    const double t = std::clamp(double(y - top) / (bottom - top), 0.0, 1.0);
    const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)), mix(qBlue(from), qBlue(to)));
}

// The dark blue rounded ring of every enabled look; the four outermost
// corner pixels carry the light tones of the background they stood on.
QRgb enabledRing(int x, int y)
{
    if (y == 0) {
        switch (x) {
        case 0: return 0xDDD7C5;
        case 1: return 0x65869F;
        case 2: return 0x225583;
        case lastX - 2: return 0x154C7D;
        case lastX - 1: return 0x577C99;
        case lastX: return 0xE1DCCA;
        default: return frame;
        }
    }
    if (y == lastY) {
        switch (x) {
        case 0: return 0xECEAD9;
        case 1: return 0x6A8BA3;
        case 2: return 0x225583;
        case lastX - 2: return 0x154C7D;
        case lastX - 1: return 0x6184A0;
        case lastX: return 0xF9F8F2;
        default: return frame;
        }
    }
    const bool left = x == 0;
    switch (y) {
    case 1: return left ? 0x65869F : 0x6586A0;
    case 2: return 0x225583;
    case lastY - 2: return 0x154C7D;
    case lastY - 1: return left ? 0x567B99 : 0x5E829E;
    default: return frame;
    }
}

QRgb disabledRing(int x, int y)
{
    const bool row = y == 0 || y == lastY;
    const bool column = x == 0 || x == lastX;
    if (row && column)
        return 0xFFFFFF;
    if (row && (x == 1 || x == lastX - 1))
        return 0xEEEDE2;
    if (column && (y == 1 || y == lastY - 1))
        return 0xEAE9DE;
    if ((row && (x == 2 || x == lastX - 2)) || (column && (y == 2 || y == lastY - 2)))
        return 0xD8D6CA;
    return 0xC9C7BA;
}

// Inside the ring of cell 0: the face, a little darker in its right-hand
// columns, and the frame's inner rounding in the four corners.
QRgb plainInside(int x, int y)
{
    if (y == 1 && (x == 1 || x == lastX - 1))
        return 0x557DA2;
    if (y == lastY - 1 && x == 1)
        return 0x4A7193;
    if (y == lastY - 1 && x == lastX - 1)
        return 0x486E90;
    const QRgb face = plainFace[size_t(y)];
    switch (x) {
    case lastX - 3: return darker(face, 2, 2, 3);
    case lastX - 2: return darker(face, 5, 6, 8);
    case lastX - 1: return darker(face, 11, 14, 16);
    default: return face;
    }
}

// Cell 1: the shadow falls on the top rows and the two left-hand columns.
QRgb pressedInside(int x, int y)
{
    if ((x == 1 || x == lastX - 1) && (y == 1 || y == lastY - 1))
        return plainInside(x, y);
    if (y >= 3 && y <= lastY - 3) {
        if (x == 1)
            return along(0xD8D4CB, 0xD6D4C9, 3, 15, y);
        if (x == 2)
            return along(0xDDDAD1, 0xDBDAD0, 3, 15, y);
    }
    return pressedFace[size_t(y)];
}

// Cell 3: cell 0 with a 2-pixel yellow-to-orange band inside the frame.
QRgb hoverInside(int x, int y)
{
    if (y >= 3 && y <= lastY - 3 && inSideBand(x))
        return x <= 2 ? along(0xFEDF9A, 0xF9B435, 3, lastY - 3, y) : along(0xFCD279, 0xF8B535, 3, lastY - 3, y);
    if (y == 1 && x >= 2 && x <= lastX - 2)
        return 0xFFF0CF;
    if (y == 2)
        return 0xFDD889;
    if (y == lastY - 2)
        return 0xF8B330;
    if (y == lastY - 1 && x >= 2 && x <= lastX - 2)
        return 0xE59700;
    return plainInside(x, y);
}

// Cell 4: cell 0 with a 2-pixel light-blue band inside the frame.
QRgb stateOneInside(int x, int y)
{
    if ((x == 1 || x == lastX - 1) && (y == 1 || y == lastY - 1))
        return 0x274D85;
    if (y >= 3 && y <= lastY - 3 && inSideBand(x))
        return along(0xBAD3F5, 0x89ADE4, 3, lastY - 3, y);
    if (y == 1)
        return 0xCEE7FF;
    if (y == 2)
        return 0xBCD4F6;
    if (y == lastY - 2)
        return 0x89ADE4;
    if (y == lastY - 1)
        return x == 2 ? 0x4D7DC1 : 0x6982EE;
    return plainInside(x, y);
}

} // namespace

QRgb buttonSkinPixel(int cell, int x, int y)
{
    QRgb colour = 0;
    if (cell == 2)
        colour = onRing(x, y) ? disabledRing(x, y) : 0xF5F4EA;
    else if (onRing(x, y))
        colour = enabledRing(x, y);
    else if (cell == 1)
        colour = pressedInside(x, y);
    else if (cell == 3)
        colour = hoverInside(x, y);
    else if (cell == 4)
        colour = stateOneInside(x, y);
    else
        colour = plainInside(x, y);
    return colour | 0xFF000000u;
}

QImage buttonSkin()
{
    // The palette lists the colours in the order they first occur, row by
    // row; unused entries stay black.
    QList<QRgb> palette;
    QHash<QRgb, uint> index;
    QList<uint> indices;
    for (int y = 0; y < CellHeight; ++y) {
        for (int x = 0; x < CellWidth * CellCount; ++x) {
            const QRgb colour = buttonSkinPixel(x / CellWidth, x % CellWidth, y);
            auto it = index.constFind(colour);
            if (it == index.cend()) {
                it = index.insert(colour, uint(palette.size()));
                palette.append(colour);
            }
            indices.append(*it);
        }
    }
    if (palette.size() > paletteSize)
        return {};
    palette.resize(paletteSize, qRgb(0, 0, 0));

    QImage skin(CellWidth * CellCount, CellHeight, QImage::Format_Indexed8);
    skin.setColorTable(palette);
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x)
            skin.setPixel(x, y, indices[y * skin.width() + x]);
    return skin;
}

} // namespace huvolo::pictures
