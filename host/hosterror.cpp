#include <Huvolo/hosterror.h>

#include <QByteArray>
#include <QDebug>

namespace huvolo {

class HostErrorData : public QSharedData
{
public:
    int m_number = 0;
    QString m_description;
    QByteArray m_what;
};

static_assert(sizeof(HostError) == sizeof(std::exception) + sizeof(void *), "HostError keeps its data behind d");

HostError::HostError(Number number, const QString &detail)
    : d(new HostErrorData)
{
    d->m_number = number;
    d->m_description = detail.isEmpty() ? standardText(number) : standardText(number) + QStringLiteral(": ") + detail;
    d->m_what = (QStringLiteral("Run-time error '") + QString::number(d->m_number) + QStringLiteral("': ")
                 + d->m_description).toUtf8();
}

HostError::HostError(const HostError &other) noexcept = default;
HostError &HostError::operator=(const HostError &other) noexcept = default;
HostError::~HostError() = default;

int HostError::number() const
{
    return d->m_number;
}

QString HostError::description() const
{
    return d->m_description;
}

const char *HostError::what() const noexcept
{
    return d->m_what.constData();
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
