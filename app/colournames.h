#pragma once

#include <QRgb>
#include <QString>

#include <span>

namespace huvolo {

// One of the CSS named colours, with its name as words a listener follows:
// lower case, split at the words ("dark orange"). Keywords that name the same
// colour appear once: "cyan" for aqua, "magenta" for fuchsia, and the "grey"
// spellings for the gray ones. Removing the spaces gives a CSS keyword.
struct NamedColour
{
    const char *name;
    QRgb rgb; // opaque
};

// The table, one entry per distinct colour.
std::span<const NamedColour> namedColours();

// The named colour nearest to `rgb` by Euclidean distance in OKLab, where
// equal distances look about equally different; alpha is ignored.
const NamedColour &nearestNamedColour(QRgb rgb);

// The nearest name, with "approximately " before it unless the colour is
// exactly the named one: "dark orange", "approximately dark orange".
QString colourName(QRgb rgb);
// The same, when `nearest` (nearestNamedColour of `rgb`) is already known.
QString colourName(QRgb rgb, const NamedColour &nearest);

// The hex and the name, as a read-out's tooltip or a screen reader gives
// them: "#FF8C00, dark orange", "#FF8C01, approximately dark orange".
QString colourDescription(QRgb rgb);
QString colourDescription(QRgb rgb, const NamedColour &nearest);

} // namespace huvolo
