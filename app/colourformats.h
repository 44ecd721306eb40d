#pragma once

#include <QRgb>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

class QColor;

namespace huvolo {

// The notations a colour can be copied in. Alpha is never written.
enum class ColourFormat {
    HexUpper, // #RRGGBB, what a click copies
    HexLower, // #rrggbb
    HexBare,  // RRGGBB
    Rgb,      // rgb(r, g, b), channels 0 to 255
    Hsl,      // hsl(h, s%, l%), whole degrees 0 to 359 and whole percent
    Hex0x,    // 0xRRGGBB
    Hsv,      // hsv(h, s%, v%), also called HSB
    Hwb,      // hwb(h w% b%)
    Lab,      // lab(L a b): CIE Lab against the D50 white
    Oklch,    // oklch(L% C h)
    Vec4,     // vec4(r, g, b, 1.0): channels 0.0 to 1.0, for shader code
};

// Every format, in the order a menu lists them.
inline constexpr std::array<ColourFormat, 11> colourFormats{
    ColourFormat::HexUpper, ColourFormat::HexLower, ColourFormat::HexBare,
    ColourFormat::Rgb, ColourFormat::Hsl, ColourFormat::Hex0x,
    ColourFormat::Hsv, ColourFormat::Hwb, ColourFormat::Lab,
    ColourFormat::Oklch, ColourFormat::Vec4,
};

// A colour in OKLab: perceived lightness 0 to 1 and two opponent axes.
struct Oklab
{
    float L, a, b;
};

// The OKLab coordinates of an 8-bit sRGB colour; alpha is ignored.
Oklab toOklab(QRgb rgb);

// What a menu shows for the format, e.g. "rgb(r, g, b)".
QString colourFormatLabel(ColourFormat format);

// The colour's red, green and blue written in `format`; alpha is ignored.
// Hue, saturation and lightness are rounded to the nearest whole number,
// halves away from zero; a hue that rounds to 360 is written as 0, and a grey
// has hue 0 and saturation 0%.
// The newer notations carry enough decimals that each reads back as the very
// colour it was written from (checked over all 16,777,216 colours):
//  hsv(), hwb(): hue, and each percentage, to one decimal;
//  lab():        L, a and b to two decimals;
//  oklch():      L in percent to three decimals, the chroma to five and
//                the hue in degrees to two (fewer lose colours near black
//                and at the edges of sRGB);
//  vec4():       each channel to three decimals, always written out.
// Trailing zeros are left out except in vec4(), and a hue that rounds to 360
// is written as 0; a colour without chroma has hue 0.
QString formatColour(QRgb rgb, ColourFormat format);
// An invalid colour gives an empty text.
QString formatColour(const QColor &colour, ColourFormat format);

// The colour a text names, or why it names none.
struct ParsedColour
{
    std::optional<QRgb> rgb; // opaque; empty when the text was rejected
    QString error;           // says what was wrong, when rgb is empty
};

// Reads a colour written in any of the formats. Surrounding white space,
// white space between the parts of a function, and letter case are accepted;
// anything else must be exact: six hex digits, numbers in range (whole ones
// in rgb() and hsl()), every part present and nothing after the end. A hsl()
// text gives the nearest 8-bit channels, halves rounded up; the other
// functions give the nearest 8-bit channels, and a lab() or oklch() colour
// outside sRGB has each channel clipped to 0 to 255. The L of oklch() is a
// percentage or a number 0 to 1, as in CSS; the alpha of vec4() is read and
// ignored, as everywhere here. When hwb()'s whiteness and blackness add up
// to more than 100% they are scaled to 100%, a grey.
ParsedColour parseColour(QStringView text);

} // namespace huvolo
