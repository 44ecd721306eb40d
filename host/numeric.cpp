#include "numeric.h"

#include <Huvolo/hosterror.h>

#include <cmath>
#include <limits>

namespace huvolo {

namespace {

template <typename Int>
Int roundChecked(double value, const QString &what, const char *typeName)
{
    if (std::isnan(value))
        throw HostError::floatingPoint(what + QStringLiteral(" is not a number"));
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max())) {
        throw HostError::overflow(what + QStringLiteral(" = ") + QString::number(value, 'g', 17)
                                  + QStringLiteral(" does not fit a ") + QLatin1String(typeName));
    }
    return static_cast<Int>(rounded);
}

} // namespace

qint16 toInteger(double value, const QString &what)
{
    return roundChecked<qint16>(value, what, "16-bit integer");
}

qint32 toLong(double value, const QString &what)
{
    return roundChecked<qint32>(value, what, "32-bit integer");
}

double toNumber(const QString &text, const QString &what)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw HostError::typeMismatch(what + QStringLiteral(" = \"") + text + QStringLiteral("\" is not a number"));
    return value;
}

double checkedFloat(double value, const QString &what)
{
    if (!std::isfinite(value))
        throw HostError::floatingPoint(what + QStringLiteral(" = ") + QString::number(value));
    return value;
}

QString hex(qint32 value)
{
    return QString::number(static_cast<quint32>(value), 16).toUpper();
}

} // namespace huvolo
