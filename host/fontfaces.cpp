#include "fontfaces.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace huvolo {

bool bitmapFacesRenderCleanly(qreal devicePixelRatio, int depth)
{
    // A bitmap face has glyphs of one pixel size: scaled by a device pixel
    // ratio other than 1 its letters drift apart ("T O G G L E"), and below
    // 24 bits a pixel its one-bit glyphs come out garbled.
    return devicePixelRatio == 1.0 && depth >= 24;
}

bool addFontFaces()
{
    const QString family = QStringLiteral("Small Fonts");
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || bitmapFacesRenderCleanly(screen->devicePixelRatio(), screen->depth())) {
        const QString file = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                    QStringLiteral("wine/fonts/small_fonts.ttf"));
        if (!file.isEmpty()) {
            const int id = QFontDatabase::addApplicationFont(file);
            if (id != -1 && QFontDatabase::applicationFontFamilies(id).contains(family))
                return true;
        }
    }
    QFont::insertSubstitution(family, QStringLiteral("DejaVu Sans"));
    return false;
}

} // namespace huvolo
