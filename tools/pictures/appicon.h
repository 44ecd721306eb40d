#pragma once

#include <QByteArray>
#include <QImage>

#include <array>

namespace huvolo::pictures {

// Edge lengths, in pixels, of the application icon's bitmap sizes.
constexpr std::array<int, 9> appIconSizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// The application icon at size x size pixels: the colour wheel as a disc on a
// transparent square, its outer rim shaded darker so the disc stands out on
// light and dark panels alike. Non-premultiplied ARGB.
QImage appIcon(int size);

// The same icon as a small SVG document. SVG has no conic gradient, so the
// hues are solid wedges under one radial white-to-clear gradient, which mixes
// each hue with white in the same proportion as the bitmap's saturation.
QByteArray appIconSvg();

} // namespace huvolo::pictures
