#pragma once

#include <Huvolo/hostexport.h>
#include <Huvolo/propertybag.h>
#include <Huvolo/usercontrol.h>

#include <QRect>
#include <QString>

namespace huvolo {

// A control's rectangle in its container's stored layout, in twips: 15 to
// a pixel, any part of a pixel dropped.
struct HUVOLO_HOST_EXPORT StoredRect
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    static StoredRect fromPixels(const QRect &pixels);
    QRect toPixels() const;
};

// Reads a saved property bag kept with a stored layout (a JSON file or
// resource). A missing or malformed bag raises "Invalid file format".
HUVOLO_HOST_EXPORT PropertyBag readStoredBag(const QString &fileName);

// Places a control in its container, in the host's order: its rectangle and
// ambient source first (no handler runs yet), then UserControl_Initialize,
// then UserControl_ReadProperties with the saved bag or, without one,
// UserControl_InitProperties; UserControl_Show runs when it is first shown.
// Place a control before it is shown. Run-time errors of the handlers are
// reported and end only the handler they occur in.
HUVOLO_HOST_EXPORT void place(UserControl *control, const StoredRect &rect, UserControl::AmbientSource ambient,
                              const PropertyBag *bag);

} // namespace huvolo
