#pragma once

#include "colourformats.h"

#include <QMetaType>
#include <QRgb>
#include <QString>

namespace huvolo {

struct NamedColour;

// One sampled colour, as the additions to the window see it: taken once from
// the pixel, and every text about it (each notation, its name, what a
// tooltip, a menu entry or a screen reader says) written from it. A
// default-made one stands for "nothing sampled yet".
class SampledColour
{
public:
    SampledColour() = default;
    // An opaque colour from its red, green and blue; alpha is ignored.
    explicit SampledColour(QRgb rgb);
    // From a packed colour 0x00BBGGRR held as a number, as a picture's pixel
    // read gives it; nothing sampled for a number that is not one (-1 too).
    static SampledColour fromPacked(double packed);

    bool isValid() const { return m_named != nullptr; }
    // Opaque; black when nothing was sampled.
    QRgb rgb() const { return m_rgb; }
    // The packed 0x00BBGGRR form, as the window's read-out takes it.
    double packed() const;

    // The colour written in `format`; empty when nothing was sampled.
    QString text(ColourFormat format = ColourFormat::HexUpper) const;
    // The nearest named colour, "dark orange" or "approximately dark orange".
    QString name() const;
    // What shows the colour, then its name: "#FF8C00, dark orange", or
    // "rgb(255, 140, 0), dark orange" for that notation. The read-out's
    // tooltip, the menu's entries and every announcement say this.
    QString description(ColourFormat format = ColourFormat::HexUpper) const;

    friend bool operator==(const SampledColour &a, const SampledColour &b)
    {
        return a.m_named == b.m_named && a.m_rgb == b.m_rgb;
    }

private:
    QRgb m_rgb = qRgb(0, 0, 0);
    const NamedColour *m_named = nullptr; // named once, when sampled
};

} // namespace huvolo

Q_DECLARE_METATYPE(huvolo::SampledColour)
