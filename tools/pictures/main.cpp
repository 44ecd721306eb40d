// Writes the generated pictures, each to its place under the source root given as the only argument.

#include "appicon.h"
#include "buttonskin.h"
#include "groupboxframe.h"
#include "palettepictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace {

struct Picture
{
    const char *relativePath;
    QImage (*make)();
};

constexpr Picture pictureList[] = {
    {"app/resources/colourwheel.png", huvolo::pictures::colourWheel},
    {"app/resources/swatches.png", huvolo::pictures::swatchGrid},
    {"controls/xpgroupbox/frame.png", huvolo::pictures::groupBoxFrame},
    {"controls/xpcmdbutton/skin.bmp", huvolo::pictures::buttonSkin},
};

constexpr const char *appIconDirectory = "data/icons/hicolor";
constexpr const char *appIconName = "org.huvolo.Huvolo";

// Writes through a temporary file so a failed run never leaves a truncated picture behind.
// The file's suffix names the format.
QString writePicture(const QImage &image, const QString &path)
{
    if (image.isNull())
        return QStringLiteral("the generator made no picture");
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("cannot create its folder");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, QFileInfo(path).suffix().toLatin1());
    if (!writer.write(image))
        return writer.errorString();
    if (!file.commit())
        return file.errorString();
    return {};
}

QString writeText(const QByteArray &text, const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("cannot create its folder");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}

bool report(const QString &path, const QString &error)
{
    if (error.isEmpty())
        return true;
    std::fprintf(stderr, "huvolo-pictures: cannot write %s: %s\n",
                 qPrintable(QDir::toNativeSeparators(path)), qPrintable(error));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: huvolo-pictures SOURCE-ROOT\n");
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    for (const Picture &picture : pictureList) {
        const QString path = directory.filePath(QString::fromLatin1(picture.relativePath));
        if (!report(path, writePicture(picture.make(), path)))
            return 1;
    }
    const QDir icons(directory.filePath(QString::fromLatin1(appIconDirectory)));
    for (const int size : huvolo::pictures::appIconSizes) {
        const QString path = icons.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(QLatin1String(appIconName)));
        if (!report(path, writePicture(huvolo::pictures::appIcon(size), path)))
            return 1;
    }
    const QString svgPath = icons.filePath(QStringLiteral("scalable/apps/%1.svg").arg(QLatin1String(appIconName)));
    if (!report(svgPath, writeText(huvolo::pictures::appIconSvg(), svgPath)))
        return 1;
    return 0;
}
