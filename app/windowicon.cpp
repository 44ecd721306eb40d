#include "windowicon.h"

#include "embeddedpicture.h"

#include <QPixmap>

namespace huvolo {

namespace embedded {
extern const EmbeddedPicture appIcon16;
extern const EmbeddedPicture appIcon24;
extern const EmbeddedPicture appIcon32;
extern const EmbeddedPicture appIcon48;
extern const EmbeddedPicture appIcon64;
} // namespace embedded

QIcon applicationIcon()
{
    QIcon icon;
    for (const EmbeddedPicture *picture : {&embedded::appIcon16, &embedded::appIcon24, &embedded::appIcon32,
                                           &embedded::appIcon48, &embedded::appIcon64})
        icon.addPixmap(QPixmap::fromImage(picture->image()));
    return icon;
}

} // namespace huvolo
