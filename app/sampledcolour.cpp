#include "sampledcolour.h"

#include "colournames.h"

#include <cmath>

namespace huvolo {

SampledColour::SampledColour(QRgb rgb)
    : m_rgb(rgb | 0xFF000000u),
      m_named(&nearestNamedColour(rgb))
{
}

SampledColour SampledColour::fromPacked(double packed)
{
    if (!(packed >= 0.0 && packed < 16777216.0))
        return {};
    const auto value = quint32(std::nearbyint(packed));
    return SampledColour(qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)));
}

double SampledColour::packed() const
{
    return double(qRed(m_rgb) + 256 * qGreen(m_rgb) + 65536 * qBlue(m_rgb));
}

QString SampledColour::text(ColourFormat format) const
{
    return isValid() ? formatColour(m_rgb, format) : QString();
}

QString SampledColour::name() const
{
    return isValid() ? colourName(m_rgb, *m_named) : QString();
}

QString SampledColour::description(ColourFormat format) const
{
    if (!isValid())
        return {};
    // The read-out's tooltip asks for the hex one on every pointer move.
    if (format == ColourFormat::HexUpper)
        return colourDescription(m_rgb, *m_named);
    return text(format) + QStringLiteral(", ") + name();
}

} // namespace huvolo
