#pragma once

#include "colourformats.h"

#include <QStringList>

#include <optional>

namespace huvolo {

// `huvolo --pick`: one colour picked from the screen without the window.
struct PickCommand
{
    ColourFormat format = ColourFormat::HexUpper;
    bool copy = true; // false with --no-copy
};

// The names --format takes, one for each notation of "Copy as", in the
// menu's order: hex (#RRGGBB), hex-lower, hex-bare, rgb, hsl, hex-0x, hsv,
// hwb, lab, oklch, vec4.
QString colourFormatName(ColourFormat format);
std::optional<ColourFormat> colourFormatNamed(const QString &name);

// Picks one colour the way this session allows (X11: the crosshair and the
// magnifier; Wayland: the desktop portal), prints it on standard output in
// the format, copies it unless told not to (kept after exit as the
// window's copies are) and adds it to the recent colours: status 0. Giving
// up prints nothing and leaves the clipboard alone: status 1. When there is
// no way to pick, or picking fails, one line on standard error says why:
// status 2.
int runPickCommand(int &argc, char **argv, const QStringList &arguments, const PickCommand &command);

} // namespace huvolo
