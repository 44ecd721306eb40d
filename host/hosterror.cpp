#include "hosterror.h"

#include <QDebug>

HostError::HostError(int number, QString description)
    : m_number(number), m_description(std::move(description))
{
    m_what = QStringLiteral("Run-time error '%1': %2").arg(m_number).arg(m_description).toUtf8();
}

HostError HostError::overflow(const QString &detail)
{
    return HostError(Overflow, QStringLiteral("Overflow: ") + detail);
}

HostError HostError::typeMismatch(const QString &detail)
{
    return HostError(TypeMismatch, QStringLiteral("Type mismatch: ") + detail);
}

HostError HostError::floatingPoint(const QString &detail)
{
    return HostError(FloatingPoint, QStringLiteral("Floating-point error: ") + detail);
}

void reportRunTimeError(const HostError &error)
{
    qCritical().noquote() << error.what();
}
