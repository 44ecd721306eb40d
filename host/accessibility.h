#pragma once

namespace huvolo {

// Makes the host's widgets known to assistive technology: picture boxes as
// images described by the colour under the pointer, custom controls with the
// role and name they give. Every host widget calls it when it is created;
// the first call registers the interfaces, later calls cost nothing.
void installAccessibility();

} // namespace huvolo
