// Cost of the hot paths of the main window: one pointer move over a picture
// (pixel read, channel split, colour and text write, the colour's name for
// the read-out's tooltip) and one click (text write and clipboard copy).
// Run it; it asserts nothing about time.
#include "colournames.h"
#include "frmmain.h"
#include "picturebox.h"
#include "x11screen.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>

using namespace huvolo;

class BenchFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void sampleMove();
    void nameColour();
    void clickCopy();
    void magnifierMove();
    void magnifierMoveOnX11();
};

void BenchFrmMain::sampleMove()
{
    FrmMain window;
    auto *pctColors = window.findChild<PictureBox *>("pctColors");
    int i = 0;
    QBENCHMARK {
        // Walk the disc so each move reads a different pixel.
        const QPointF pos(20 + (i % 200), 20 + (i / 200) % 200);
        QMouseEvent event(QEvent::MouseMove, pos, pctColors->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(pctColors, &event);
        ++i;
    }
}

// The naming alone, part of each move: a different colour each time.
void BenchFrmMain::nameColour()
{
    quint32 i = 0;
    QString name;
    QBENCHMARK {
        name = colourName(0xFF000000u | ((i * 0x9E3779B1u) & 0xFFFFFFu));
        ++i;
    }
    QVERIFY(!name.isEmpty());
}

void BenchFrmMain::clickCopy()
{
    FrmMain window;
    auto *pctColors = window.findChild<PictureBox *>("pctColors");
    const QPointF pos(100, 100);
    QMouseEvent move(QEvent::MouseMove, pos, pos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pctColors, &move);
    QBENCHMARK {
        QMouseEvent press(QEvent::MouseButtonPress, pos, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, pos, pos, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pctColors, &press);
        QApplication::sendEvent(pctColors, &release);
    }
}

// One pointer move while picking from the screen: the pixels around the
// pointer fetched (here from a screen in memory, so the window system's
// own cost is left out) and the magnifier drawn.
void BenchFrmMain::magnifierMove()
{
    QImage screen(1280, 1024, QImage::Format_ARGB32);
    screen.fill(qRgb(30, 144, 255));
    QPoint pointer(400, 300);
    ScreenPicker picker(ScreenPicker::Screen{[&screen](const QRect &area) { return screen.copy(area); },
                                             [&pointer] { return pointer; }});
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    int i = 0;
    QBENCHMARK {
        pointer = QPoint(100 + i % 1000, 100 + (i / 1000) % 800);
        picker.pointAt(pointer);
        picker.repaint();
        ++i;
    }
}

// The same on a real X11 screen, where each move asks the server for the
// pointer and the pixels around it.
void BenchFrmMain::magnifierMoveOnX11()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X11 display");
    ScreenPicker picker(x11Screen());
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QBENCHMARK {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(QCursor::pos()), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&picker, &move);
        picker.repaint();
    }
}

QTEST_MAIN(BenchFrmMain)
#include "bench_frmmain.moc"

