#include "colourformats.h"

#include <QColor>

#include <algorithm>
#include <cstdlib>

namespace huvolo {

namespace {

// num / den rounded to the nearest integer, halves up; num >= 0, den > 0.
int roundedQuotient(int num, int den)
{
    return (2 * num + den) / (2 * den);
}

struct Hsl
{
    int h, s, l;
};

// Exact on the 8-bit channels: every quotient is taken once, in integers, so
// no value depends on floating-point rounding.
Hsl toHsl(int r, int g, int b)
{
    const int max = std::max({r, g, b});
    const int min = std::min({r, g, b});
    const int sum = max + min;
    const int chroma = max - min;
    const int l = roundedQuotient(100 * sum, 2 * 255);
    if (chroma == 0)
        return {0, 0, l};
    const int s = roundedQuotient(100 * chroma, sum <= 255 ? sum : 2 * 255 - sum);
    // The hue in degrees is hueTimesChroma / chroma.
    int hueTimesChroma;
    if (max == r)
        hueTimesChroma = 60 * (g - b) + (g < b ? 360 * chroma : 0);
    else if (max == g)
        hueTimesChroma = 60 * (b - r) + 120 * chroma;
    else
        hueTimesChroma = 60 * (r - g) + 240 * chroma;
    return {roundedQuotient(hueTimesChroma, chroma) % 360, s, l};
}

QRgb fromHsl(int h, int s, int l)
{
    // Channels in units of 1/Unit: s and l are hundredths and the hue's
    // slope within a 60-degree sector is sixtieths, so every step is whole.
    constexpr int Unit = 100 * 100 * 60 * 2;
    const int chromaPercent2 = (100 - std::abs(2 * l - 100)) * s; // chroma * 100^2
    const int chroma = chromaPercent2 * (Unit / (100 * 100));
    const int low = l * (Unit / 100) - chroma / 2;
    const int middle = chromaPercent2 * 2 * (60 - std::abs(h % 120 - 60));
    int r = 0, g = 0, b = 0;
    switch (h / 60) {
    case 0: r = chroma; g = middle; break;
    case 1: r = middle; g = chroma; break;
    case 2: g = chroma; b = middle; break;
    case 3: g = middle; b = chroma; break;
    case 4: r = middle; b = chroma; break;
    default: r = chroma; b = middle; break;
    }
    const auto channel = [&](int value) { return roundedQuotient(255 * (value + low), Unit); };
    return qRgb(channel(r), channel(g), channel(b));
}

bool isAsciiHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString hexDigits(QRgb rgb)
{
    return QStringLiteral("%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

ParsedColour rejected(const QString &error)
{
    return {std::nullopt, error};
}

ParsedColour parseHexDigits(QStringView digits, QLatin1String notation)
{
    for (const QChar c : digits) {
        if (!isAsciiHexDigit(c))
            return rejected(QStringLiteral("%1: \"%2\" is not a hex digit").arg(notation, c));
    }
    if (digits.size() != 6) {
        return rejected(QStringLiteral("%1 needs 6 hex digits, found %2").arg(notation).arg(digits.size()));
    }
    return {qRgb(0, 0, 0) | digits.toUInt(nullptr, 16), {}};
}

// Reads the parts of rgb(...) and hsl(...): names, punctuation and whole
// numbers, with white space allowed between them.
class FunctionReader
{
public:
    explicit FunctionReader(QStringView text) : m_text(text) {}

    bool take(QChar c)
    {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // A whole number of at most `max`, or an error naming `what`.
    std::optional<int> number(const QString &what, int max, QString *error)
    {
        skipSpace();
        const qsizetype start = m_pos;
        int value = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9') {
            value = std::min(value * 10 + m_text[m_pos].digitValue(), 100000);
            ++m_pos;
        }
        if (m_pos == start) {
            *error = QStringLiteral("expected a whole number for %1, found %2").arg(what, rest());
            return std::nullopt;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == u'.' || m_text[m_pos] == u'e' || m_text[m_pos] == u'E')) {
            *error = QStringLiteral("%1 must be a whole number").arg(what);
            return std::nullopt;
        }
        if (value > max) {
            *error = QStringLiteral("%1 %2 is out of range 0 to %3")
                         .arg(what, m_text.sliced(start, m_pos - start).toString()).arg(max);
            return std::nullopt;
        }
        return value;
    }

    bool atEnd()
    {
        skipSpace();
        return m_pos == m_text.size();
    }

    // What is left, quoted, for an error message.
    QString rest()
    {
        skipSpace();
        return m_pos == m_text.size() ? QStringLiteral("the end")
                                      : QStringLiteral("\"%1\"").arg(m_text.sliced(m_pos).toString());
    }

private:
    void skipSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

struct Part
{
    const char *name;
    int max;
    bool percent;
};

// name(a, b, c) with each part a whole number in range; the three numbers.
ParsedColour parseFunction(QStringView text, QLatin1String name, const std::array<Part, 3> &parts,
                           QRgb (*make)(int, int, int))
{
    FunctionReader reader(text.sliced(name.size()));
    if (!reader.take(u'('))
        return rejected(QStringLiteral("expected \"(\" after %1, found %2").arg(name, reader.rest()));
    int values[3];
    for (int i = 0; i < 3; ++i) {
        const QString what = QLatin1String(parts[i].name);
        QString error;
        const std::optional<int> value = reader.number(what, parts[i].max, &error);
        if (!value)
            return rejected(QStringLiteral("%1(): %2").arg(name, error));
        values[i] = *value;
        if (parts[i].percent && !reader.take(u'%'))
            return rejected(QStringLiteral("%1(): expected \"%\" after %2, found %3").arg(name, what, reader.rest()));
        const QChar separator = i < 2 ? u',' : u')';
        if (!reader.take(separator)) {
            return rejected(QStringLiteral("%1(): expected \"%2\" after %3, found %4")
                                .arg(name, separator, what, reader.rest()));
        }
    }
    if (!reader.atEnd())
        return rejected(QStringLiteral("unexpected %1 after %2()").arg(reader.rest(), name));
    return {make(values[0], values[1], values[2]), {}};
}

bool startsWith(QStringView text, QLatin1String prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

QString colourFormatLabel(ColourFormat format)
{
    switch (format) {
    case ColourFormat::HexUpper: return QStringLiteral("#RRGGBB");
    case ColourFormat::HexLower: return QStringLiteral("#rrggbb");
    case ColourFormat::HexBare: return QStringLiteral("RRGGBB");
    case ColourFormat::Rgb: return QStringLiteral("rgb(r, g, b)");
    case ColourFormat::Hsl: return QStringLiteral("hsl(h, s%, l%)");
    case ColourFormat::Hex0x: return QStringLiteral("0xRRGGBB");
    }
    return {};
}

QString formatColour(QRgb rgb, ColourFormat format)
{
    const int r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
    switch (format) {
    case ColourFormat::HexUpper: return QLatin1Char('#') + hexDigits(rgb);
    case ColourFormat::HexLower: return QLatin1Char('#') + hexDigits(rgb).toLower();
    case ColourFormat::HexBare: return hexDigits(rgb);
    case ColourFormat::Rgb: return QStringLiteral("rgb(%1, %2, %3)").arg(r).arg(g).arg(b);
    case ColourFormat::Hsl: {
        const Hsl hsl = toHsl(r, g, b);
        return QStringLiteral("hsl(%1, %2%, %3%)").arg(hsl.h).arg(hsl.s).arg(hsl.l);
    }
    case ColourFormat::Hex0x: return QStringLiteral("0x") + hexDigits(rgb);
    }
    return {};
}

QString formatColour(const QColor &colour, ColourFormat format)
{
    return colour.isValid() ? formatColour(colour.rgb(), format) : QString();
}

ParsedColour parseColour(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return rejected(QStringLiteral("the text is empty"));
    if (text.startsWith(u'#'))
        return parseHexDigits(text.sliced(1), QLatin1String("#RRGGBB"));
    if (startsWith(text, QLatin1String("0x")))
        return parseHexDigits(text.sliced(2), QLatin1String("0xRRGGBB"));
    if (startsWith(text, QLatin1String("rgb"))) {
        constexpr std::array<Part, 3> parts{{{"red", 255, false}, {"green", 255, false}, {"blue", 255, false}}};
        return parseFunction(text, QLatin1String("rgb"), parts, [](int r, int g, int b) { return qRgb(r, g, b); });
    }
    if (startsWith(text, QLatin1String("hsl"))) {
        constexpr std::array<Part, 3> parts{{{"hue", 359, false}, {"saturation", 100, true}, {"lightness", 100, true}}};
        return parseFunction(text, QLatin1String("hsl"), parts, fromHsl);
    }
    if (std::all_of(text.begin(), text.end(), isAsciiHexDigit))
        return parseHexDigits(text, QLatin1String("RRGGBB"));
    return rejected(QStringLiteral("\"%1\" is not a colour: expected #RRGGBB, RRGGBB, 0xRRGGBB, "
                                   "rgb(r, g, b) or hsl(h, s%, l%)").arg(text.toString()));
}

} // namespace huvolo
