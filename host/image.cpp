#include "image.h"

#include <QPainter>

namespace huvolo {

Image::Image(QWidget *parent)
    : QWidget(parent)
{
}

void Image::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void Image::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

} // namespace huvolo
