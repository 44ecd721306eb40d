#pragma once

#include <Huvolo/hostexport.h>

#include <QImage>
#include <QWidget>

namespace huvolo {

// An image constituent of a control: it holds a picture and, when shown,
// draws it at natural size at its top-left corner. A control may keep one
// hidden just to hold a picture it copies from.
class HUVOLO_HOST_EXPORT Image : public QWidget
{
    Q_OBJECT

public:
    explicit Image(QWidget *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace huvolo
