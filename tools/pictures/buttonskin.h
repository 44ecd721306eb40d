#pragma once

#include <QImage>
#include <QRgb>

namespace huvolo::pictures {

// The skinned button's 90 x 21 skin: five 18 x 21 cells side by side, in
// 8-bit palettised form (256 palette entries; a null image if the cells
// ever needed more colours than that). Cell 0 is the plain button,
// 1 pressed, 2 disabled, 3 hover and 4 the rest look of State 1.
QImage buttonSkin();

// The colour of pixel (x, y) of a cell, 0 <= x < 18, 0 <= y < 21.
QRgb buttonSkinPixel(int cell, int x, int y);

} // namespace huvolo::pictures
