#include "pickcommand.h"

#include "application.h"
#include "windowicon.h"
#include "applicationid.h"
#include "platform.h"
#include "recentcolours.h"
#include "sampledcolour.h"

#include <QTimer>

#include <cstdio>

namespace huvolo {

namespace {

void printLine(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

QString colourFormatName(ColourFormat format)
{
    switch (format) {
    case ColourFormat::HexUpper: return QStringLiteral("hex");
    case ColourFormat::HexLower: return QStringLiteral("hex-lower");
    case ColourFormat::HexBare: return QStringLiteral("hex-bare");
    case ColourFormat::Rgb: return QStringLiteral("rgb");
    case ColourFormat::Hsl: return QStringLiteral("hsl");
    case ColourFormat::Hex0x: return QStringLiteral("hex-0x");
    case ColourFormat::Hsv: return QStringLiteral("hsv");
    case ColourFormat::Hwb: return QStringLiteral("hwb");
    case ColourFormat::Lab: return QStringLiteral("lab");
    case ColourFormat::Oklch: return QStringLiteral("oklch");
    case ColourFormat::Vec4: return QStringLiteral("vec4");
    }
    return {};
}

std::optional<ColourFormat> colourFormatNamed(const QString &name)
{
    for (const ColourFormat format : colourFormats)
        if (colourFormatName(format) == name)
            return format;
    return std::nullopt;
}

int runPickCommand(int &argc, char **argv, const QStringList &arguments, const PickCommand &command)
{
    const auto app = openApplication(argc, argv, "huvolo");
    QGuiApplication::setDesktopFileName(QLatin1String(ApplicationId));
    QGuiApplication::setWindowIcon(applicationIcon());
    const QString cannotPick = QStringLiteral("huvolo: cannot pick from the screen: ");
    ScreenPicking &picking = screenPicking();
    ScreenPick *pick = picking.available() ? picking.newPick(app.get()) : nullptr;
    if (!pick) {
        printLine(stderr, cannotPick + picking.unavailableReason());
        return 2;
    }
    int status = 1;
    QObject::connect(pick, &ScreenPick::picked, app.get(), [&](QRgb colour) {
        const QString text = SampledColour(colour).text(command.format);
        printLine(stdout, text);
        if (command.copy) {
            if (const QString why = clipboardKeeping().copyWithoutWindow(text); !why.isEmpty())
                printLine(stderr, QStringLiteral("huvolo: not copied: ") + why);
        }
        RecentColours(QLatin1String(ApplicationId), QStringLiteral("huvolo")).add(colour);
        status = 0;
        QCoreApplication::quit();
    });
    QObject::connect(pick, &ScreenPick::cancelled, app.get(), [&] {
        status = 1;
        QCoreApplication::quit();
    });
    QObject::connect(pick, &ScreenPick::failed, app.get(), [&](const QString &why) {
        printLine(stderr, cannotPick + why);
        status = 2;
        QCoreApplication::quit();
    });
    QTimer::singleShot(0, pick, &ScreenPick::start);
    app->exec();
    delete pick;
    if (status == 0 && command.copy)
        clipboardKeeping().keepAfterExit(arguments);
    return status;
}

} // namespace huvolo
