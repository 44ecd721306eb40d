#include "stdfont.h"

#include <algorithm>

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

FontRef makeFont(const QString &name, double size, qint16 weight, qint16 charset)
{
    auto font = std::make_shared<StdFont>();
    font->Name = name;
    font->Size = size;
    font->Weight = weight;
    font->Charset = charset;
    return font;
}

bool sameFont(const FontRef &a, const FontRef &b)
{
    if (!a || !b)
        return !a && !b;
    return *a == *b;
}
