#include "fuzzsupport.h"

#include <Huvolo/propertybag.h>

#include <QApplication>
#include <QSet>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

using namespace huvolo;

namespace huvolo::fuzz {

namespace {

QStringList reports;
QWidget *theForm = nullptr;
QSet<QString> warningsSeen;

void onMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        return;
    case QtWarningMsg:
        // Shown once each: a warning is worth a look, not a stop.
        if (warningsSeen.size() < 50 && !warningsSeen.contains(message)) {
            warningsSeen.insert(message);
            std::fprintf(stderr, "Qt warning (shown once): %s\n", qPrintable(message));
        }
        return;
    case QtCriticalMsg:
        if (message.startsWith(QLatin1String("Run-time error '"))
            && !message.startsWith(QLatin1String("Run-time error '51'"))
            && !message.startsWith(QLatin1String("Run-time error '7'"))) {
            reports << message;
            return;
        }
        fail(QStringLiteral("unexpected critical message: ") + message);
    case QtFatalMsg:
        fail(QStringLiteral("fatal message: ") + message);
    }
}

} // namespace

void initialise(const char *program)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(onMessage);
    // Qt keeps a reference to its arguments; libFuzzer's own stay untouched.
    static int argc = 1;
    static char *argv[] = {const_cast<char *>(program), nullptr};
    new QApplication(argc, argv);
    theForm = new QWidget;
}

QWidget *form()
{
    return theForm;
}

void fail(const QString &what)
{
    std::fprintf(stderr, "==FUZZ CHECK FAILED== %s\n", qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

QStringList takeReports()
{
    QStringList taken;
    taken.swap(reports);
    return taken;
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const auto kind = [](const QVariant &v) {
        if (v.metaType() == QMetaType::fromType<FontRef>())
            return 3;
        switch (v.typeId()) {
        case QMetaType::Bool: return 0;
        case QMetaType::QString: return 2;
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Double: case QMetaType::Float: return 1;
        default: return 4;
        }
    };
    if (kind(a) != kind(b) || kind(a) == 4)
        return false;
    switch (kind(a)) {
    case 0: return a.toBool() == b.toBool();
    case 1: return a.toDouble() == b.toDouble();
    case 2: return a.toString() == b.toString();
    default: return sameFont(a.value<FontRef>(), b.value<FontRef>());
    }
}

QString bagDifference(const PropertyBag &a, const PropertyBag &b)
{
    if (a.keys() != b.keys())
        return QStringLiteral("keys [%1] became [%2]").arg(a.keys().join(u'|'), b.keys().join(u'|'));
    for (const QString &key : a.keys()) {
        if (!sameValue(a.ReadProperty(key), b.ReadProperty(key)))
            return QStringLiteral("value of \"%1\" changed").arg(key);
    }
    return {};
}

QString text(const std::string &bytes, bool raw)
{
    if (!raw)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8));
    return units;
}

} // namespace huvolo::fuzz
