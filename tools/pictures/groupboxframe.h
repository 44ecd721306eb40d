#pragma once

#include <QImage>

namespace huvolo::pictures {

// The group box's 22 x 20 frame: a 1-px outline with rounded corners, soft
// shading at the two right-hand corners, on a transparent field. A four-colour
// palette image whose index 1 is the transparent colour.
QImage groupBoxFrame();

} // namespace huvolo::pictures
