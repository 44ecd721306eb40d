#pragma once

// Helpers shared by the unit tests.

#include "embeddedpicture.h"

#include <QString>

// The compiled-in pictures, as the program shows them.
namespace huvolo::embedded {
extern const EmbeddedPicture colourWheel;
extern const EmbeddedPicture swatchGrid;
extern const EmbeddedPicture buttonSkin;
extern const EmbeddedPicture groupBoxFrame;
} // namespace huvolo::embedded

// A file of the source tree, such as a committed picture.
inline QString sourceFile(const char *relative)
{
    return QStringLiteral(HUVOLO_SOURCE_DIR "/") + QLatin1String(relative);
}
