#include <Huvolo/hosterror.h>

#include <QDebug>

namespace huvolo {

HostError::HostError(Number number, const QString &detail)
    : m_number(number),
      m_description(detail.isEmpty() ? standardText(number) : standardText(number) + QStringLiteral(": ") + detail)
{
    m_what = (QStringLiteral("Run-time error '") + QString::number(m_number) + QStringLiteral("': ")
              + m_description).toUtf8();
}

QString HostError::standardText(int number)
{
    switch (number) {
    case InvalidArgument: return QStringLiteral("Invalid procedure call or argument");
    case Overflow: return QStringLiteral("Overflow");
    case OutOfMemory: return QStringLiteral("Out of memory");
    case FloatingPoint: return QStringLiteral("Floating-point error");
    case TypeMismatch: return QStringLiteral("Type mismatch");
    case Internal: return QStringLiteral("Internal error");
    case InvalidFileFormat: return QStringLiteral("Invalid file format");
    case InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case ClipboardUnavailable: return QStringLiteral("Can't open Clipboard");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

void reportRunTimeError(const HostError &error)
{
    qCritical().noquote() << error.what();
}

} // namespace huvolo
