// Writes the generated pictures, each to its place under the source root given as the only argument.

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

// Writes through a temporary file so a failed run never leaves a truncated picture behind.
// The file's suffix names the format.
QString writePicture(const QImage &image, const QString &path)
{
    if (image.isNull())
        return QStringLiteral("the generator made no picture");
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
        const QString error = writePicture(picture.make(), path);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "huvolo-pictures: cannot write %s: %s\n",
                         qPrintable(QDir::toNativeSeparators(path)), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
