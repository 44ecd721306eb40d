#pragma once

#include <Huvolo/hostexport.h>

#include <QColor>
#include <QtGlobal>

namespace huvolo {

// Packed colour values, 0x00BBGGRR, and system colours, 0x800000nn.
using OLE_COLOR = quint32;

inline constexpr OLE_COLOR vbWindowBackground = 0x80000005;
inline constexpr OLE_COLOR vbWindowText = 0x80000008;
inline constexpr OLE_COLOR vbButtonFace = 0x8000000F;

// red + 256 * green + 65536 * blue; each channel must lie in 0..255.
HUVOLO_HOST_EXPORT qint32 packColour(qint16 red, qint16 green, qint16 blue);

// Resolves system colours through the application palette. An unknown
// system colour index raises "Invalid property value".
HUVOLO_HOST_EXPORT QColor toQColor(OLE_COLOR colour);
HUVOLO_HOST_EXPORT OLE_COLOR fromQColor(const QColor &colour);

} // namespace huvolo
