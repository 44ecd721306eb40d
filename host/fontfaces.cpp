#include "fontfaces.h"

#include <QFont>
#include <QFontDatabase>
#include <QStandardPaths>

namespace huvolo {

bool addFontFaces()
{
    const QString family = QStringLiteral("Small Fonts");
    const QString file = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                QStringLiteral("wine/fonts/small_fonts.ttf"));
    if (!file.isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(file);
        if (id != -1 && QFontDatabase::applicationFontFamilies(id).contains(family))
            return true;
    }
    QFont::insertSubstitution(family, QStringLiteral("DejaVu Sans"));
    return false;
}

} // namespace huvolo
