#include <Huvolo/colour.h>

#include <Huvolo/hosterror.h>

#include <QGuiApplication>
#include <QPalette>

namespace huvolo {

namespace {

QString hex8(OLE_COLOR colour)
{
    return QString::number(colour, 16).rightJustified(8, QLatin1Char('0'));
}

} // namespace

qint32 packColour(qint16 red, qint16 green, qint16 blue)
{
    for (const qint16 channel : {red, green, blue}) {
        if (channel < 0 || channel > 255)
            throw HostError(HostError::InvalidArgument, QStringLiteral("colour channel ") + QString::number(channel)
                                                            + QStringLiteral(" is outside 0 to 255"));
    }
    return red + 256 * green + 65536 * blue;
}

QColor toQColor(OLE_COLOR colour)
{
    if (colour & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (colour & 0xFFu) {
        case 5: return palette.color(QPalette::Base);           // window background
        case 8: return palette.color(QPalette::Text);           // window text
        case 15: return palette.color(QPalette::Button);        // button face
        case 16: return palette.color(QPalette::Dark);          // button shadow
        case 18: return palette.color(QPalette::ButtonText);    // button text
        case 13: return palette.color(QPalette::Highlight);     // highlight
        case 14: return palette.color(QPalette::HighlightedText);
        case 20: return palette.color(QPalette::Light);         // 3-D highlight
        default: break;
        }
        throw HostError::invalidValue(QStringLiteral("unknown system colour 0x") + hex8(colour));
    }
    if (colour > 0x00FFFFFFu)
        throw HostError::invalidValue(QStringLiteral("colour 0x") + hex8(colour));
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

OLE_COLOR fromQColor(const QColor &colour)
{
    const QRgb rgb = colour.rgb();
    return OLE_COLOR(qRed(rgb)) | (OLE_COLOR(qGreen(rgb)) << 8) | (OLE_COLOR(qBlue(rgb)) << 16);
}

} // namespace huvolo
