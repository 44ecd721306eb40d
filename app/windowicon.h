#pragma once

#include <QIcon>

namespace huvolo {

// The window icon, at the sizes title bars, task bars and switchers ask for.
QIcon applicationIcon();

} // namespace huvolo
