// Cost of the hot paths of the main window: one pointer move over a picture
// (pixel read, channel split, colour and text write) and one click (text
// write and clipboard copy). Run it; it asserts nothing about time.
#include "frmmain.h"
#include "picturebox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace huvolo;

class BenchFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void sampleMove();
    void clickCopy();
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

QTEST_MAIN(BenchFrmMain)
#include "bench_frmmain.moc"

