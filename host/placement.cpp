#include <Huvolo/placement.h>

#include <Huvolo/hosterror.h>

#include <QFile>

namespace huvolo {

namespace {

constexpr int TwipsPerPixelWhole = 15;

} // namespace

StoredRect StoredRect::fromPixels(const QRect &pixels)
{
    return StoredRect{pixels.x() * TwipsPerPixelWhole, pixels.y() * TwipsPerPixelWhole,
                      pixels.width() * TwipsPerPixelWhole, pixels.height() * TwipsPerPixelWhole};
}

QRect StoredRect::toPixels() const
{
    return QRect(Left / TwipsPerPixelWhole, Top / TwipsPerPixelWhole, Width / TwipsPerPixelWhole,
                 Height / TwipsPerPixelWhole);
}

PropertyBag readStoredBag(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw HostError(HostError::InvalidFileFormat,
                        QStringLiteral("property bag ") + fileName + QStringLiteral(": ") + file.errorString());
    return PropertyBag::fromJson(file.readAll());
}

void place(UserControl *control, const StoredRect &rect, UserControl::AmbientSource ambient, const PropertyBag *bag)
{
    control->setAmbientSource(std::move(ambient));
    control->setStoredGeometry(rect.toPixels());
    hostGuard([control] { control->UserControl_Initialize(); });
    hostGuard([control, bag] {
        if (bag)
            control->UserControl_ReadProperties(*bag);
        else
            control->UserControl_InitProperties();
    });
}

} // namespace huvolo
