#include "appicon.h"

#include "palettepictures.h"

#include <QString>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace huvolo::pictures {

namespace {

// Proportions of the icon's square: the disc leaves a sixteenth of the edge
// free on every side (one pixel at 16 px), and the shaded rim is a
// thirty-second of the edge wide. Bitmaps round both to whole pixels, and the
// rim to at least one, so small sizes keep a crisp edge.
constexpr double discRadiusPerEdge = 7.0 / 16.0;
constexpr double rimWidthPerEdge = 1.0 / 32.0;
// How much the rim darkens the colour beneath it.
constexpr double rimShade = 0.25;

// The SVG is drawn on the largest bitmap's grid.
constexpr int svgEdge = 512;
// Wedges per turn, and how far each one reaches on under the wedges drawn
// after it. Renderers smooth every wedge's edges, and two half-covered edges
// over one pixel never add up to an opaque pixel: reaching on under the next
// wedge keeps each seam over solid colour. Near the centre, where the wedges
// are thinner than a pixel, an opaque white disc beneath fills what remains;
// it stays well inside the rim so that no white shows at the disc's edge.
constexpr int svgWedges = 180;
constexpr double svgWedgeOverlapDegrees = 4.0;
constexpr double svgWhiteBaseRadius = 0.75;

double discRadius(int size)
{
    return std::round(size * discRadiusPerEdge);
}

double rimWidth(int size)
{
    return std::max(1.0, std::round(size * rimWidthPerEdge));
}

int channel(double unit)
{
    return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

// Shortest decimal form with at most two places: "256", "479.86".
QString number(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace

QImage appIcon(int size)
{
    if (size <= 0)
        return {};
    const double centre = size / 2.0;
    const double radius = discRadius(size);
    const double rimInside = radius - rimWidth(size);

    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = centre - (y + 0.5);
            const double distance = std::hypot(dx, dy);
            // Shares of the pixel inside the disc and inside the rim, as the wheel smooths its edge.
            const double coverage = std::clamp(radius + 0.5 - distance, 0.0, 1.0);
            if (coverage == 0.0) {
                line[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            const double rim = std::clamp(distance - rimInside + 0.5, 0.0, 1.0);
            const double shade = 1.0 - rimShade * rim;
            const auto rgb = wheelColour(qRadiansToDegrees(std::atan2(dy, dx)), distance / radius);
            line[x] = qRgba(channel(rgb[0] * shade), channel(rgb[1] * shade), channel(rgb[2] * shade),
                            channel(coverage));
        }
    }
    return image;
}

QByteArray appIconSvg()
{
    const double centre = svgEdge / 2.0;
    const double radius = discRadius(svgEdge);
    const double rim = rimWidth(svgEdge);
    const QString c = number(centre);
    const QString r = number(radius);
    // A point on the disc's edge; y grows downwards, angles counter-clockwise.
    const auto edgePoint = [&](double degrees) {
        const double a = qDegreesToRadians(degrees);
        return number(centre + radius * std::cos(a)) + u' ' + number(centre - radius * std::sin(a));
    };

    QString svg = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
        "<defs><radialGradient id=\"white\" cx=\"%2\" cy=\"%2\" r=\"%3\" gradientUnits=\"userSpaceOnUse\">"
        "<stop offset=\"0\" stop-color=\"#fff\"/><stop offset=\"1\" stop-color=\"#fff\" stop-opacity=\"0\"/>"
        "</radialGradient></defs>\n")
                      .arg(svgEdge)
                      .arg(c, r);
    svg += QStringLiteral("<circle cx=\"%1\" cy=\"%1\" r=\"%2\" fill=\"#fff\"/>\n")
               .arg(c, number(radius * svgWhiteBaseRadius));
    constexpr double step = 360.0 / svgWedges;
    for (int i = 0; i < svgWedges; ++i) {
        const double from = i * step;
        // No wedge reaches on past a full turn, over the first; the first
        // reaches back under the last ones instead, which are drawn over it.
        const double start = i == 0 ? -svgWedgeOverlapDegrees : from;
        const double end = std::min(from + step + svgWedgeOverlapDegrees, 360.0);
        const auto rgb = wheelColour(from + step / 2.0, 1.0);
        const QString colour = QStringLiteral("#%1%2%3")
                                   .arg(channel(rgb[0]), 2, 16, QLatin1Char('0'))
                                   .arg(channel(rgb[1]), 2, 16, QLatin1Char('0'))
                                   .arg(channel(rgb[2]), 2, 16, QLatin1Char('0'));
        // Sweep flag 0: from the start angle counter-clockwise on screen.
        svg += QStringLiteral("<path fill=\"%1\" d=\"M%2 %2L%3A%4 %4 0 0 0 %5Z\"/>\n")
                   .arg(colour, c, edgePoint(start), r, edgePoint(end));
    }
    svg += QStringLiteral("<circle cx=\"%1\" cy=\"%1\" r=\"%2\" fill=\"url(#white)\"/>\n").arg(c, r);
    svg += QStringLiteral("<circle cx=\"%1\" cy=\"%1\" r=\"%2\" fill=\"none\" stroke=\"#000\" "
                          "stroke-opacity=\"%3\" stroke-width=\"%4\"/>\n</svg>\n")
               .arg(c, number(radius - rim / 2.0), number(rimShade), number(rim));
    return svg.toUtf8();
}

} // namespace huvolo::pictures
