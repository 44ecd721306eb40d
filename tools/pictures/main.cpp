// Writes the application's generated pictures into the directory given as the only argument.

#include "palettepictures.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace {

struct Picture
{
    const char *fileName;
    QImage (*make)();
};

constexpr Picture pictureList[] = {
    {"colourwheel.png", pictures::colourWheel},
    {"swatches.png", pictures::swatchGrid},
};

// Writes through a temporary file so a failed run never leaves a truncated picture behind.
QString writePng(const QImage &image, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "png");
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
        std::fprintf(stderr, "usage: huvolo-pictures OUTPUT-DIRECTORY\n");
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    for (const Picture &picture : pictureList) {
        const QString path = directory.filePath(QString::fromLatin1(picture.fileName));
        const QString error = writePng(picture.make(), path);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "huvolo-pictures: cannot write %s: %s\n",
                         qPrintable(QDir::toNativeSeparators(path)), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
