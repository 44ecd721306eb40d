#include <Huvolo/stdfont.h>

#include <QFontInfo>

#include <algorithm>

namespace huvolo {

QFont StdFont::toQFont() const
{
    QFont font(Name);
    font.setPointSizeF(Size > 0 ? Size : 1.0);
    font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(Weight, 100, 900)));
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(Strikethrough);
    return font;
}

QString StdFont::problem(const QString &owner) const
{
    const auto field = [&owner](const char *name) {
        return QLatin1Char('"') + owner + QLatin1Char('.') + QLatin1String(name) + QLatin1Char('"');
    };
    if (Name.isEmpty())
        return field("Name") + QStringLiteral(" is empty; a font needs a face name");
    if (!(Size > 0 && Size <= MaxSize))
        return field("Size") + QStringLiteral(" is ") + QString::number(Size)
               + QStringLiteral("; a size is above 0 and at most 2048 points");
    if (Weight < MinWeight || Weight > MaxWeight)
        return field("Weight") + QStringLiteral(" is ") + QString::number(Weight)
               + QStringLiteral("; a weight is from 0 to 1000");
    if (Charset < MinCharset || Charset > MaxCharset)
        return field("Charset") + QStringLiteral(" is ") + QString::number(Charset)
               + QStringLiteral("; a charset is from 0 to 255");
    return {};
}

FontRef makeFont(const QString &name, double size, qint16 weight, qint16 charset)
{
    auto font = std::make_shared<StdFont>();
    font->Name = name;
    font->Size = size;
    font->Weight = weight;
    font->Charset = charset;
    return font;
}

FontRef fontFromQFont(const QFont &font)
{
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    auto result = makeFont(font.family(), size, qint16(font.weight()));
    result->Italic = font.italic();
    result->Underline = font.underline();
    result->Strikethrough = font.strikeOut();
    return result;
}

bool sameFont(const FontRef &a, const FontRef &b)
{
    if (!a || !b)
        return !a && !b;
    return *a == *b;
}

} // namespace huvolo
