#pragma once

#include "screenpicker.h"

namespace huvolo {

// The X11 screens, read at device resolution: the root of the X screen the
// pointer is on, its pixels turned into colours through that screen's
// visual and colour map; empty elsewhere.
ScreenPicker::Screen x11Screen();

} // namespace huvolo
