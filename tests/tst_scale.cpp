// At any screen scale the colour a pointer move picks is the colour of the
// device pixel under the pointer. Run with QT_SCALE_FACTOR set.
#include "frmmain.h"
#include "picturebox.h"
#include "textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

using namespace huvolo;

class TestScale : public QObject
{
    Q_OBJECT

private slots:
    void pointerPicksThePixelShown_data();
    void pointerPicksThePixelShown();
};

void TestScale::pointerPicksThePixelShown_data()
{
    QTest::addColumn<bool>("wheel");
    QTest::newRow("colour wheel") << true;
    QTest::newRow("swatch grid") << false;
}

void TestScale::pointerPicksThePixelShown()
{
    QFETCH(bool, wheel);
    FrmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *pctColors = window.findChild<PictureBox *>("pctColors");
    auto *txtHex = window.findChild<TextBox *>("txtHex");
    pctColors->setVisible(wheel);
    PictureBox *picture = window.findChild<PictureBox *>(wheel ? "pctColors" : "pctSwatches");

    const qreal scale = window.devicePixelRatioF();
    const QImage shown = window.grab().toImage();
    QCOMPARE(shown.size(), (QSizeF(window.size()) * scale).toSize());
    QWindow *handle = window.windowHandle();

    // Every third device pixel across the picture, and every one along
    // TOGGLE's edges, as the real pointer would stand on them; where the
    // picture shows, the read-out must show that very pixel.
    const QRect device = QRectF(QRectF(picture->geometry()).topLeft() * scale, QSizeF(picture->size()) * scale).toRect();
    int checked = 0;
    QStringList wrong;
    const QRect toggle = QRectF(QPointF(180, 220) * scale, QSizeF(61, 21) * scale).toAlignedRect();
    const auto nearToggle = [&](int v, int low, int high) { return v >= low - 3 && v <= high + 3; };
    for (int y = device.top() + 2; y < device.bottom() - 1; ++y) {
        for (int x = device.left() + 2; x < device.right() - 1; ++x) {
            const bool edge = (nearToggle(x, toggle.left(), toggle.right()) && y >= toggle.top() - 3)
                              || (nearToggle(y, toggle.top(), toggle.bottom()) && x >= toggle.left() - 3);
            if (!edge && (x % 3 || y % 3))
                continue;
            const QPointF at(x / scale, y / scale); // the pointer's exact logical position
            const QRgb pixel = shown.pixel(x, y);
            txtHex->setText("none");
            QMouseEvent move(QEvent::MouseMove, at, at, handle->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(handle, &move);
            if (txtHex->text() == "none")
                continue; // the pointer is on TOGGLE or the border: nothing picked
            const QString expected = QColor(pixel).name().toUpper();
            if (txtHex->text() != expected || txtHex->palette().color(QPalette::Base).name().toUpper() != expected)
                wrong << QStringLiteral("(%1, %2) shows %3, picked %4").arg(x).arg(y).arg(expected, txtHex->text());
            ++checked;
        }
    }
    QVERIFY2(checked > 5000, qPrintable(QString::number(checked)));
    QVERIFY2(wrong.isEmpty(), qPrintable(QString::number(wrong.size()) + " of " + QString::number(checked) + ": "
                                         + wrong.mid(0, 5).join("; ")));
    qInfo("scale %g: %d points checked, all agree", scale, checked);
}

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
