#pragma once

#include <Huvolo/hostexport.h>

#include <QString>
#include <QtGlobal>

namespace huvolo {

// The host's numeric conversions. Rounding goes to the nearest whole number
// with ties to even; a result that does not fit raises the overflow error
// instead of wrapping.

HUVOLO_HOST_EXPORT qint16 toInteger(double value, const QString &what);
HUVOLO_HOST_EXPORT qint32 toLong(double value, const QString &what);

// Decimal text to a number, as the host converts a numeric string; text that
// is not a number raises the type-mismatch error.
HUVOLO_HOST_EXPORT double toNumber(const QString &text, const QString &what);

// A result of floating-point arithmetic; infinity or NaN raises the host's
// floating-point error.
HUVOLO_HOST_EXPORT double checkedFloat(double value, const QString &what);

// Upper-case hexadecimal without leading zeros ("0" for zero). Negative values
// show their 32-bit two's complement, as the host does.
HUVOLO_HOST_EXPORT QString hex(qint32 value);

} // namespace huvolo
