#pragma once

#include "screenpicker.h"

namespace huvolo {

// The X11 screen, read at device resolution; empty elsewhere.
ScreenPicker::Screen x11Screen();

} // namespace huvolo
