#pragma once

#include <QImage>
#include <QRgb>

#include <array>

namespace huvolo::pictures {

// The 236 x 236 hue/saturation disc on white.
QImage colourWheel();

// The 236 x 236 grid of 16 x 16 swatch tiles on white.
QImage swatchGrid();

// Tile colours, indexed [row][column].
const std::array<std::array<QRgb, 16>, 16> &swatchTable();

// Hue in [0, 360) shown at the given wheel angle (degrees counter-clockwise from the right).
double wheelHue(double angleDegrees);

// Red, green and blue in [0, 1] of the wheel's colour at the given angle and
// saturation (0 at the centre, 1 at the rim), at full brightness.
std::array<double, 3> wheelColour(double angleDegrees, double saturation);

} // namespace huvolo::pictures
