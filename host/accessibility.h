#pragma once

#include <Huvolo/hostexport.h>

class QMenu;
class QString;

namespace huvolo {

// Makes the host's widgets known to assistive technology: picture boxes as
// images described by the colour under the pointer, custom controls with the
// role and name they give. Every host widget calls it when it is created;
// the first call registers the interfaces, later calls cost nothing.
void installAccessibility();

// Has a screen reader say `text`, through a notification element of the
// application that appears with that text. Nothing happens while no
// assistive technology listens.
HUVOLO_HOST_EXPORT void announce(const QString &text);

// As announce(), for a text that changes in quick runs (a colour while an
// arrow key repeats): the first is said at once, and then at most one a
// short while later, the latest, so a listener hears where the run ends
// rather than a queue of every step. An announce() drops a waiting one.
HUVOLO_HOST_EXPORT void announceLatest(const QString &text);

// A menu a screen reader can follow: opened from the keyboard its first
// enabled entry is current, so it is said as the menu opens; and entries
// that outlive the menu (an action shared with other menus) are let go
// when it goes, so that the next menu showing them says them afresh.
HUVOLO_HOST_EXPORT void makeMenuSpeakable(QMenu *menu);

} // namespace huvolo
