#pragma once

#include <Huvolo/hostexport.h>

#include <QtGlobal>

namespace huvolo {

// Faces that stored layouts name but that the system's font configuration
// may not offer.

// Makes "Small Fonts" available: Wine's bitmap face of that name where it is
// installed (Debian's fonts-wine, outside fontconfig's search path) and the
// screen shows it cleanly, and otherwise DejaVu Sans, a scalable face,
// through QFont's substitution table, so captions stay legible at every
// scale and colour depth. Stored fonts keep their name either way. Returns
// whether the bitmap face is used. Call once, after the application object
// exists.
HUVOLO_HOST_EXPORT bool addFontFaces();

// Whether one-size bitmap faces render cleanly on a screen of this device
// pixel ratio and colour depth.
HUVOLO_HOST_EXPORT bool bitmapFacesRenderCleanly(qreal devicePixelRatio, int depth);

} // namespace huvolo
