#pragma once

#include <QString>
#include <QVariant>

class QWidget;

namespace huvolo {
class PropertyBag;
}

// What both fuzz targets share: one offscreen application for the whole run,
// Qt's messages sorted into the run-time error reports a target expects and
// everything else, which stops the run, and the checks that end it.
namespace huvolo::fuzz {

// Creates the application; call once, from LLVMFuzzerInitialize.
void initialise(const char *program);

// The form that the controls are placed on, as a container places them.
QWidget *form();

// Writes what went wrong and aborts, so libFuzzer keeps the input.
[[noreturn]] void fail(const QString &what);

inline void check(bool condition, const QString &what)
{
    if (!condition)
        fail(what);
}

// The run-time error reports ("Run-time error 'N': ...") since the last call.
// A report of an internal error or of running out of memory is never expected
// and aborts at once; so does any other critical message or a fatal one.
QStringList takeReports();

// Bag values as the stored form sees them: Booleans, numbers (by value),
// texts and fonts (by their fields).
bool sameValue(const QVariant &a, const QVariant &b);
// Empty when both bags hold the same names (exact spelling) with the same
// values; otherwise the first difference.
QString bagDifference(const PropertyBag &a, const PropertyBag &b);

// Text that round-trips as it is, or with lone surrogates and other UTF-16
// that UTF-8 cannot carry, as `raw` chooses.
QString text(const std::string &bytes, bool raw);

} // namespace huvolo::fuzz
