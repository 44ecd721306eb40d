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
};

// Every format, in the order a menu lists them.
inline constexpr std::array<ColourFormat, 6> colourFormats{
    ColourFormat::HexUpper, ColourFormat::HexLower, ColourFormat::HexBare,
    ColourFormat::Rgb, ColourFormat::Hsl, ColourFormat::Hex0x,
};

// What a menu shows for the format, e.g. "rgb(r, g, b)".
QString colourFormatLabel(ColourFormat format);

// The colour's red, green and blue written in `format`; alpha is ignored.
// Hue, saturation and lightness are rounded to the nearest whole number,
// halves away from zero; a hue that rounds to 360 is written as 0, and a grey
// has hue 0 and saturation 0%.
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
// white space between the parts of rgb() and hsl(), and letter case are
// accepted; anything else must be exact: six hex digits, whole numbers in
// range, every part present and nothing after the end. A hsl() text gives
// the nearest 8-bit channels, halves rounded up.
ParsedColour parseColour(QStringView text);

} // namespace huvolo
