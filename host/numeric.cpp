#include "numeric.h"

#include "hosterror.h"

#include <cmath>
#include <limits>

namespace host {

namespace {

template <typename Int>
Int roundChecked(double value, const QString &what, const char *typeName)
{
    if (std::isnan(value))
        throw HostError::floatingPoint(QStringLiteral("%1 is not a number").arg(what));
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max())) {
        throw HostError::overflow(QStringLiteral("%1 = %2 does not fit a %3")
                                      .arg(what).arg(value, 0, 'g', 17).arg(QLatin1String(typeName)));
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
        throw HostError::typeMismatch(QStringLiteral("%1 = \"%2\" is not a number").arg(what, text));
    return value;
}

double checkedFloat(double value, const QString &what)
{
    if (!std::isfinite(value))
        throw HostError::floatingPoint(QStringLiteral("%1 = %2").arg(what).arg(value));
    return value;
}

QString hex(qint32 value)
{
    return QString::number(static_cast<quint32>(value), 16).toUpper();
}

} // namespace host
