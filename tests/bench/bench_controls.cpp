// Cost of the controls' drawing: one hover move over the TOGGLE-sized button
// (nine skin pieces), one full group box redraw, and placing a button from a
// property bag. Run it; it asserts nothing about time.
#include <Huvolo/placement.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QTest>

using namespace huvolo;

class BenchControls : public QObject
{
    Q_OBJECT

private slots:
    void buttonHoverMove();
    void groupBoxRedraw();
    void buttonPlacedFromBag();
};

void BenchControls::buttonHoverMove()
{
    xpcmdbutton button;
    place(&button, StoredRect::fromPixels(QRect(0, 0, 61, 21)), {}, nullptr);
    qint16 Button = 0, Shift = 0;
    float x = 30, Y = 10;
    QBENCHMARK {
        button.UserControl_MouseMove(Button, Shift, x, Y);
    }
}

void BenchControls::groupBoxRedraw()
{
    xpgroupbox box;
    place(&box, StoredRect::fromPixels(QRect(0, 0, 199, 89)), {}, nullptr);
    QBENCHMARK {
        box.UserControl_Resize();
    }
}

void BenchControls::buttonPlacedFromBag()
{
    const PropertyBag bag = PropertyBag::fromJson(
        R"({"caption": "TOGGLE", "font": {"Name": "Small Fonts", "Size": 6, "Weight": 400, "Charset": 0}})");
    QBENCHMARK {
        xpcmdbutton button;
        place(&button, StoredRect::fromPixels(QRect(0, 0, 61, 21)), {}, &bag);
    }
}

QTEST_MAIN(BenchControls)
#include "bench_controls.moc"

