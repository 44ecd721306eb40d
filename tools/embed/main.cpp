// Turns a picture file into C++ source that holds its pixels ready to show:
//   huvolo-embed SYMBOL FORMAT INPUT OUTPUT
// FORMAT is rgb32 or argb32pm. The output defines
// huvolo::embedded::SYMBOL, an EmbeddedPicture.

#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: huvolo-embed SYMBOL rgb32|argb32pm INPUT OUTPUT\n");
        return 2;
    }
    const QByteArray symbol(argv[1]);
    const QByteArray formatName(argv[2]);
    const QString input = QString::fromLocal8Bit(argv[3]);
    const QString output = QString::fromLocal8Bit(argv[4]);
    if (formatName != "rgb32" && formatName != "argb32pm") {
        std::fprintf(stderr, "huvolo-embed: unknown format %s\n", argv[2]);
        return 2;
    }
    const bool opaque = formatName == "rgb32";
    const QImage picture = QImage(input).convertToFormat(opaque ? QImage::Format_RGB32
                                                                : QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        std::fprintf(stderr, "huvolo-embed: cannot read the picture %s\n", argv[3]);
        return 1;
    }

    QByteArray text;
    text += "// Pixels of " + QFile::encodeName(input.section(QLatin1Char('/'), -1))
            + ", written by huvolo-embed.\n#include \"embeddedpicture.h\"\n\nnamespace huvolo::embedded {\n\n";
    text += "alignas(16) static const quint32 " + symbol + "Pixels[] = {\n";
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            text += "0x" + QByteArray::number(line[x], 16) + ((x + 1) % 8 == 0 ? ",\n" : ", ");
        text += '\n';
    }
    // Visible outside a shared library, so tests can compare the compiled
    // pixels with the picture files; no installed header declares them.
    text += "};\n\nextern Q_DECL_EXPORT const EmbeddedPicture " + symbol + ";\nconst EmbeddedPicture " + symbol + "{"
            + QByteArray::number(picture.width()) + ", " + QByteArray::number(picture.height()) + ", "
            + (opaque ? "QImage::Format_RGB32" : "QImage::Format_ARGB32_Premultiplied") + ", " + symbol
            + "Pixels};\n\n} // namespace huvolo::embedded\n";

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        std::fprintf(stderr, "huvolo-embed: cannot write %s: %s\n", argv[4], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
