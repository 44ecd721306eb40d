#pragma once

#include <Huvolo/hostexport.h>

class QWidget;

namespace huvolo {

// Keeps keyboard focus off the children of `container` that a sibling above
// them covers wholly (a shown, opaque widget over their whole rectangle):
// Tab passes them by while they are covered, and they take the focus again
// as they were made to once uncovered. A covered child that has the focus
// hands it to the sibling that now covers it.
HUVOLO_HOST_EXPORT void keepFocusOffCoveredChildren(QWidget *container);

// Whether a sibling above `widget` covers it wholly.
HUVOLO_HOST_EXPORT bool isCovered(const QWidget *widget);

} // namespace huvolo
