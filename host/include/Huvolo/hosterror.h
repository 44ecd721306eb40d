#pragma once

#include <Huvolo/hostexport.h>

#include <QSharedDataPointer>
#include <QString>

#include <exception>
#include <new>
#include <utility>

namespace huvolo {

class HostErrorData;

// A run-time error of the form-and-control host: a number and a description.
// Raised by host operations and by conversions that cannot be done; it ends
// the running handler and is reported by the guard around every entry point.
class HUVOLO_HOST_EXPORT HostError : public std::exception
{
public:
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        OutOfMemory = 7,
        FloatingPoint = 11,
        TypeMismatch = 13,
        Internal = 51,
        InvalidFileFormat = 321,
        InvalidPropertyValue = 380,
        ClipboardUnavailable = 521,
    };

    // The description is the number's standard text, followed by ": " and the
    // detail when there is one. Texts are joined, never substituted, so a key
    // or value holding "%1" appears exactly as it is.
    explicit HostError(Number number, const QString &detail = {});
    // Copies share the one description, so copying never throws.
    HostError(const HostError &other) noexcept;
    HostError &operator=(const HostError &other) noexcept;
    ~HostError() override;

    int number() const;
    QString description() const;
    const char *what() const noexcept override;

    // "Overflow", "Type mismatch", ...: the text every error of that number starts with.
    static QString standardText(int number);

    static HostError overflow(const QString &detail) { return HostError(Overflow, detail); }
    static HostError typeMismatch(const QString &detail) { return HostError(TypeMismatch, detail); }
    static HostError floatingPoint(const QString &detail) { return HostError(FloatingPoint, detail); }
    static HostError invalidValue(const QString &detail) { return HostError(InvalidPropertyValue, detail); }

private:
    QSharedDataPointer<HostErrorData> d;
};

// Writes "Run-time error 'N': description" as a critical message (stderr).
HUVOLO_HOST_EXPORT void reportRunTimeError(const HostError &error);

// Runs one handler. A host error ends the handler and is reported; the
// program goes on. No exception ever reaches Qt's event loop from here.
template <typename Handler>
void hostGuard(Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const HostError &error) {
        reportRunTimeError(error);
    } catch (const std::bad_alloc &) {
        reportRunTimeError(HostError(HostError::OutOfMemory));
    } catch (const std::exception &error) {
        reportRunTimeError(HostError(HostError::Internal, QString::fromLocal8Bit(error.what())));
    }
}

} // namespace huvolo
