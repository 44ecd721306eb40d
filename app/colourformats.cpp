#include "colourformats.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <span>

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

// Hue in degrees [0, 360) of 8-bit channels; 0 for a grey.
double hueDegrees(int r, int g, int b)
{
    const int max = std::max({r, g, b});
    const int chroma = max - std::min({r, g, b});
    if (chroma == 0)
        return 0;
    double sector;
    if (max == r)
        sector = double(g - b) / chroma + (g < b ? 6 : 0);
    else if (max == g)
        sector = double(b - r) / chroma + 2;
    else
        sector = double(r - g) / chroma + 4;
    return 60 * sector;
}

// A channel 0.0 to 1.0 as the nearest 8-bit value, clipped into range.
int channel8(double value)
{
    return int(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

// The red, green or blue share (0 to 1) of the fully saturated colour of a
// hue, the colour hsv() and hwb() mix with white and black.
double hueShare(double hue, int offset)
{
    const double k = std::fmod(offset + hue / 60, 6.0);
    return 1 - std::clamp(std::min(k, 4 - k), 0.0, 1.0);
}

QRgb fromHsv(const double *v)
{
    const double s = v[1] / 100, value = v[2] / 100;
    const auto c = [&](int offset) { return channel8(value * (1 - s * (1 - hueShare(v[0], offset)))); };
    return qRgb(c(5), c(3), c(1));
}

QRgb fromHwb(const double *v)
{
    double white = v[1] / 100, black = v[2] / 100;
    if (white + black > 1) {
        const double sum = white + black;
        white /= sum;
        black /= sum;
    }
    const auto c = [&](int offset) { return channel8(hueShare(v[0], offset) * (1 - white - black) + white); };
    return qRgb(c(5), c(3), c(1));
}

double linearFromSrgb(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double srgbFromLinear(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

using Vector3 = std::array<double, 3>;
using Matrix3 = std::array<Vector3, 3>;

Vector3 operator*(const Matrix3 &m, const Vector3 &v)
{
    Vector3 out{};
    for (std::size_t i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

// Linear sRGB to XYZ (D65), and back, as CSS converts them.
constexpr Matrix3 linearSrgbToXyz{{
    {506752.0 / 1228815, 87881.0 / 245763, 12673.0 / 70218},
    {87098.0 / 409605, 175762.0 / 245763, 12673.0 / 175545},
    {7918.0 / 409605, 87881.0 / 737289, 1001167.0 / 1053270},
}};
constexpr Matrix3 xyzToLinearSrgb{{
    {12831.0 / 3959, -329.0 / 214, -1974.0 / 3959},
    {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
    {705.0 / 12673, -2585.0 / 12673, 705.0 / 667},
}};
// Bradford chromatic adaptation between the D65 and D50 whites.
constexpr Matrix3 d65ToD50{{
    {1.0479297925449969, 0.022946870601609652, -0.05019226628920524},
    {0.02962780877005599, 0.9904344267538799, -0.017073799063418826},
    {-0.009243040646204504, 0.015055191490298152, 0.7518742814281371},
}};
constexpr Matrix3 d50ToD65{{
    {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124},
}};
constexpr Vector3 d50White{0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};
constexpr double labEpsilon = 216.0 / 24389;
constexpr double labKappa = 24389.0 / 27;

Vector3 toLab(int r, int g, int b)
{
    const Vector3 linear{linearFromSrgb(r / 255.0), linearFromSrgb(g / 255.0), linearFromSrgb(b / 255.0)};
    const Vector3 xyz = d65ToD50 * (linearSrgbToXyz * linear);
    Vector3 f{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double t = xyz[i] / d50White[i];
        f[i] = t > labEpsilon ? std::cbrt(t) : (labKappa * t + 16) / 116;
    }
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

QRgb fromLinear(const Vector3 &linear)
{
    return qRgb(channel8(srgbFromLinear(linear[0])), channel8(srgbFromLinear(linear[1])),
                channel8(srgbFromLinear(linear[2])));
}

QRgb fromLab(const double *v)
{
    const double fy = (v[0] + 16) / 116;
    const double fx = v[1] / 500 + fy;
    const double fz = fy - v[2] / 200;
    const auto fromF = [](double f) { return f * f * f > labEpsilon ? f * f * f : (116 * f - 16) / labKappa; };
    const Vector3 xyz{fromF(fx) * d50White[0],
                      (v[0] > labKappa * labEpsilon ? fy * fy * fy : v[0] / labKappa) * d50White[1],
                      fromF(fz) * d50White[2]};
    return fromLinear(xyzToLinearSrgb * (d50ToD65 * xyz));
}

// OKLCH (L in percent, C, h in degrees) back through OKLab to sRGB.
QRgb fromOklch(const double *v)
{
    const double L = v[0] / 100, hue = v[2] * std::numbers::pi / 180;
    const double a = v[1] * std::cos(hue), b = v[1] * std::sin(hue);
    const double l = std::pow(L + 0.3963377774 * a + 0.2158037573 * b, 3);
    const double m = std::pow(L - 0.1055613458 * a - 0.0638541728 * b, 3);
    const double s = std::pow(L - 0.0894841775 * a - 1.2914855480 * b, 3);
    return fromLinear({4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
                       -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
                       -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s});
}

QRgb fromVec4(const double *v)
{
    return qRgb(channel8(v[0]), channel8(v[1]), channel8(v[2]));
}

// `value` rounded to `places` decimals, without trailing zeros and never "-0".
QString decimal(double value, int places)
{
    const double scale = std::pow(10.0, places);
    const double rounded = std::round(value * scale) / scale;
    QString text = QString::number(rounded == 0 ? 0.0 : rounded, 'f', places);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

// A hue in degrees rounded to `places` decimals; one that rounds to 360 is 0.
QString hueText(double degrees, int places)
{
    const double scale = std::pow(10.0, places);
    const double rounded = std::round(degrees * scale) / scale;
    return decimal(rounded >= 360 ? 0 : rounded, places);
}

// The 8-bit channel values made linear, worked out once: naming colours
// converts many of them.
const std::array<float, 256> &linearChannels()
{
    static const std::array<float, 256> channels = [] {
        std::array<float, 256> values{};
        for (int i = 0; i < 256; ++i)
            values[std::size_t(i)] = float(linearFromSrgb(i / 255.0));
        return values;
    }();
    return channels;
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

// Reads the parts of a function such as rgb(...): names, punctuation and
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

    // A decimal number, signed or not, without an exponent; its text is kept
    // for an error message.
    std::optional<double> decimal(const QString &what, QString *text, QString *error)
    {
        skipSpace();
        const qsizetype start = m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == u'-' || m_text[m_pos] == u'+'))
            ++m_pos;
        qsizetype digits = 0;
        bool point = false;
        for (; m_pos < m_text.size(); ++m_pos) {
            const QChar c = m_text[m_pos];
            if (c >= u'0' && c <= u'9')
                ++digits;
            else if (c == u'.' && !point)
                point = true;
            else
                break;
        }
        if (digits == 0) {
            m_pos = start;
            *error = QStringLiteral("expected a number for %1, found %2").arg(what, rest());
            return std::nullopt;
        }
        *text = m_text.sliced(start, m_pos - start).toString();
        return text->toDouble();
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

enum class Unit {
    None,
    Percent,      // the number must be followed by %
    MaybePercent, // a plain number is the percentage divided by `plainScale`
};

struct Part
{
    const char *name;
    double min, max; // in the unit written, a percentage where there is one
    Unit unit = Unit::None;
    double plainScale = 1;
};

struct Function
{
    QLatin1String name;
    bool whole;  // whole numbers only, as rgb() and hsl() have always been read
    bool commas; // parts separated by commas rather than white space
    std::span<const Part> parts;
    QRgb (*make)(const double *values);
};

std::optional<double> readPart(FunctionReader &reader, const Function &function, const Part &part, QString *error)
{
    const QString what = QLatin1String(part.name);
    if (function.whole) {
        const std::optional<int> value = reader.number(what, int(part.max), error);
        if (value && part.unit == Unit::Percent && !reader.take(u'%')) {
            *error = QStringLiteral("expected \"%\" after %1, found %2").arg(what, reader.rest());
            return std::nullopt;
        }
        return value;
    }
    QString text;
    std::optional<double> value = reader.decimal(what, &text, error);
    if (!value)
        return std::nullopt;
    double min = part.min, max = part.max;
    QString unit;
    if (reader.take(u'%')) {
        if (part.unit == Unit::None) {
            *error = QStringLiteral("%1 takes no \"%\"").arg(what);
            return std::nullopt;
        }
        unit = QStringLiteral("%");
    } else if (part.unit == Unit::Percent) {
        *error = QStringLiteral("expected \"%\" after %1, found %2").arg(what, reader.rest());
        return std::nullopt;
    } else if (part.unit == Unit::MaybePercent) {
        *value *= part.plainScale;
        min /= part.plainScale;
        max /= part.plainScale;
    }
    if (!(*value >= part.min && *value <= part.max)) {
        *error = QStringLiteral("%1 %2%3 is out of range %4%3 to %5%3")
                     .arg(what, text, unit, QString::number(min), QString::number(max));
        return std::nullopt;
    }
    return value;
}

// name(a, b, c) or name(a b c), each part a number in range.
ParsedColour parseFunction(QStringView text, const Function &function)
{
    const QLatin1String name = function.name;
    FunctionReader reader(text.sliced(name.size()));
    if (!reader.take(u'('))
        return rejected(QStringLiteral("expected \"(\" after %1, found %2").arg(name, reader.rest()));
    std::array<double, 4> values{};
    const qsizetype count = qsizetype(function.parts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const Part &part = function.parts[std::size_t(i)];
        QString error;
        const std::optional<double> value = readPart(reader, function, part, &error);
        if (!value)
            return rejected(QStringLiteral("%1(): %2").arg(name, error));
        values[std::size_t(i)] = *value;
        const bool last = i == count - 1;
        if (!last && !function.commas)
            continue;
        const QChar separator = last ? u')' : u',';
        if (!reader.take(separator)) {
            return rejected(QStringLiteral("%1(): expected \"%2\" after %3, found %4")
                                .arg(name, separator, QLatin1String(part.name), reader.rest()));
        }
    }
    if (!reader.atEnd())
        return rejected(QStringLiteral("unexpected %1 after %2()").arg(reader.rest(), name));
    return {function.make(values.data()), {}};
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
    case ColourFormat::Hsv: return QStringLiteral("hsv(h, s%, v%)");
    case ColourFormat::Hwb: return QStringLiteral("hwb(h w% b%)");
    case ColourFormat::Lab: return QStringLiteral("lab(L a b)");
    case ColourFormat::Oklch: return QStringLiteral("oklch(L% C h)");
    case ColourFormat::Vec4: return QStringLiteral("vec4(r, g, b, 1.0)");
    }
    return {};
}

Oklab toOklab(QRgb rgb)
{
    // Linear light to cone responses, their cube roots, then lightness and
    // the two opponent axes.
    const std::array<float, 256> &linear = linearChannels();
    const float r = linear[std::size_t(qRed(rgb))];
    const float g = linear[std::size_t(qGreen(rgb))];
    const float b = linear[std::size_t(qBlue(rgb))];
    const float l = std::cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const float m = std::cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const float s = std::cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return {0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
            1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
            0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
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
    case ColourFormat::Hsv: {
        const int max = std::max({r, g, b});
        const int chroma = max - std::min({r, g, b});
        return QStringLiteral("hsv(%1, %2%, %3%)")
            .arg(hueText(hueDegrees(r, g, b), 1), decimal(max == 0 ? 0 : 100.0 * chroma / max, 1),
                 decimal(100.0 * max / 255, 1));
    }
    case ColourFormat::Hwb:
        return QStringLiteral("hwb(%1 %2% %3%)")
            .arg(hueText(hueDegrees(r, g, b), 1), decimal(100.0 * std::min({r, g, b}) / 255, 1),
                 decimal(100 - 100.0 * std::max({r, g, b}) / 255, 1));
    case ColourFormat::Lab: {
        const Vector3 lab = toLab(r, g, b);
        return QStringLiteral("lab(%1 %2 %3)").arg(decimal(lab[0], 2), decimal(lab[1], 2), decimal(lab[2], 2));
    }
    case ColourFormat::Oklch: {
        const Oklab lab = toOklab(rgb);
        const double chroma = std::hypot(double(lab.a), double(lab.b));
        const QString chromaText = decimal(chroma, 5);
        // A chroma written as 0 has no hue worth writing.
        const double hue = chromaText == u"0" ? 0 : std::atan2(double(lab.b), double(lab.a)) * 180 / std::numbers::pi;
        return QStringLiteral("oklch(%1% %2 %3)")
            .arg(decimal(100.0 * double(lab.L), 3), chromaText, hueText(hue < 0 ? hue + 360 : hue, 2));
    }
    case ColourFormat::Vec4:
        return QStringLiteral("vec4(%1, %2, %3, 1.0)")
            .arg(r / 255.0, 0, 'f', 3).arg(g / 255.0, 0, 'f', 3).arg(b / 255.0, 0, 'f', 3);
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
    static constexpr Part rgbParts[]{{"red", 0, 255}, {"green", 0, 255}, {"blue", 0, 255}};
    static constexpr Part hslParts[]{
        {"hue", 0, 359}, {"saturation", 0, 100, Unit::Percent}, {"lightness", 0, 100, Unit::Percent}};
    static constexpr Part hsvParts[]{
        {"hue", 0, 360}, {"saturation", 0, 100, Unit::Percent}, {"value", 0, 100, Unit::Percent}};
    static constexpr Part hwbParts[]{
        {"hue", 0, 360}, {"whiteness", 0, 100, Unit::Percent}, {"blackness", 0, 100, Unit::Percent}};
    static constexpr Part labParts[]{{"L", 0, 100, Unit::MaybePercent}, {"a", -200, 200}, {"b", -200, 200}};
    static constexpr Part oklchParts[]{{"L", 0, 100, Unit::MaybePercent, 100}, {"C", 0, 0.5}, {"h", 0, 360}};
    static constexpr Part vec4Parts[]{{"r", 0, 1}, {"g", 0, 1}, {"b", 0, 1}, {"alpha", 0, 1}};
    const Function functions[]{
        {QLatin1String("rgb"), true, true, rgbParts,
         [](const double *v) { return qRgb(int(v[0]), int(v[1]), int(v[2])); }},
        {QLatin1String("hsl"), true, true, hslParts,
         [](const double *v) { return fromHsl(int(v[0]), int(v[1]), int(v[2])); }},
        {QLatin1String("hsv"), false, true, hsvParts, fromHsv},
        {QLatin1String("hwb"), false, false, hwbParts, fromHwb},
        {QLatin1String("lab"), false, false, labParts, fromLab},
        {QLatin1String("oklch"), false, false, oklchParts, fromOklch},
        {QLatin1String("vec4"), false, true, vec4Parts, fromVec4},
    };
    for (const Function &function : functions) {
        if (startsWith(text, function.name))
            return parseFunction(text, function);
    }
    if (std::all_of(text.begin(), text.end(), isAsciiHexDigit))
        return parseHexDigits(text, QLatin1String("RRGGBB"));
    return rejected(QStringLiteral("\"%1\" is not a colour: expected #RRGGBB, RRGGBB, 0xRRGGBB, "
                                   "rgb(), hsl(), hsv(), hwb(), lab(), oklch() or vec4()").arg(text.toString()));
}

} // namespace huvolo
