// The floor Huvolo is measured against: a bare Qt window of Huvolo's client
// size showing the same kinds of content in the same places, a 236 x 236
// picture made in memory (no file to decode), a text box and a caption. Its
// text loads fontconfig and FreeType, so this is the least any Qt window that
// shows text costs. Started by bench_exec it reports its start-up and peak
// memory at its first paint and quits; started directly it stays open.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace huvolo::bench {
namespace {

enum Layout {
    ClientWidth = 251,
    ClientHeight = 275,
    PictureLeft = 6,
    PictureTop = 6,
    PictureSize = 236,
    TextLeft = 5,
    TextTop = 250,
    TextWidth = 240,
    TextHeight = 19,
    CaptionLeft = 180,
    CaptionTop = 220,
    CaptionWidth = 61,
    CaptionHeight = 21,
};

// Paints a picture computed once into memory; paintEvent only copies it.
class Picture : public QWidget
{
public:
    explicit Picture(QWidget *parent) : QWidget(parent), m_image(PictureSize, PictureSize, QImage::Format_RGB32)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        for (int y = 0; y < PictureSize; ++y) {
            auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
            for (int x = 0; x < PictureSize; ++x)
                line[x] = qRgb(x, y, 255 - x);
        }
        setFixedSize(m_image.size());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

} // namespace
} // namespace huvolo::bench

int main(int argc, char *argv[])
{
    using namespace huvolo::bench;
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Huvolo floor"));
    window.setFixedSize(ClientWidth, ClientHeight);
    auto *picture = new Picture(&window);
    picture->move(PictureLeft, PictureTop);
    auto *text = new QLineEdit(&window);
    text->setGeometry(TextLeft, TextTop, TextWidth, TextHeight);
    auto *caption = new QLabel(&window);
    caption->setTextFormat(Qt::PlainText);
    caption->setText(QStringLiteral("TOGGLE"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(CaptionLeft, CaptionTop, CaptionWidth, CaptionHeight);
    // Centred like Huvolo's window, so a pointer parked away misses both.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());

    window.show();
    return app.exec();
}
