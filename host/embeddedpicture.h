#pragma once

#include <QImage>

namespace huvolo {

// A picture compiled into the program as ready pixels: showing it decodes
// nothing and loads no image plugin, and its pages are read only when the
// picture is drawn or sampled. Written by huvolo-embed from the picture
// files kept beside the code.
struct EmbeddedPicture
{
    int width;
    int height;
    QImage::Format format;
    const quint32 *pixels;

    // A read-only image over the compiled pixels; nothing is copied.
    QImage image() const
    {
        return QImage(reinterpret_cast<const uchar *>(pixels), width, height, width * 4, format);
    }
};

} // namespace huvolo
