#pragma once

#include <Huvolo/hostexport.h>

namespace huvolo {

// Faces that stored layouts name but that the system's font configuration
// may not offer.

// Makes "Small Fonts" available: Wine's bitmap face of that name when it is
// installed (Debian's fonts-wine, outside fontconfig's search path), and
// otherwise DejaVu Sans through QFont's substitution table, so captions stay
// legible either way. Returns whether the real face was found. Call once,
// after the application object exists.
HUVOLO_HOST_EXPORT bool addFontFaces();

} // namespace huvolo
