#pragma once

#include <QString>

#include <exception>
#include <utility>

// A run-time error of the form-and-control host: a number and a description.
// Raised by host operations and by conversions that cannot be done; it ends
// the running handler and is reported by the guard around every entry point.
class HostError : public std::exception
{
public:
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        FloatingPoint = 11,
        TypeMismatch = 13,
        InvalidFileFormat = 321,
        InvalidPropertyValue = 380,
        ClipboardUnavailable = 521,
    };

    HostError(int number, QString description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    static HostError overflow(const QString &detail);
    static HostError typeMismatch(const QString &detail);
    static HostError floatingPoint(const QString &detail);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

// Writes "Run-time error 'N': description" as a critical message (stderr).
void reportRunTimeError(const HostError &error);

// Runs one handler. A host error ends the handler and is reported; the
// program goes on. No exception ever reaches Qt's event loop from here.
template <typename Handler>
void hostGuard(Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const HostError &error) {
        reportRunTimeError(error);
    } catch (const std::exception &error) {
        reportRunTimeError(HostError(51, QString::fromLocal8Bit(error.what())));
    }
}
