#include "buttonskin.h"
#include "hosterror.h"
#include "label.h"
#include "propertybag.h"
#include "xpcmdbutton.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <memory>

namespace {

constexpr int CellWidth = 18;
constexpr int CellHeight = 21;

// The skin pixels the button must show, written out apart from the generator:
// "cells x y colour", where x or y may be a range "a-b".
constexpr const char *givenPixels = R"(
0134 3-14 0 003C74; 0134 3-14 20 003C74; 0134 0 3-17 003C74; 0134 17 3-17 003C74
0134 0 0 DDD7C5; 0134 1 0 65869F; 0134 0 1 65869F; 0134 2 0 225583; 0134 0 2 225583
0134 15 0 154C7D; 0134 16 0 577C99; 0134 17 0 E1DCCA; 0134 17 1 6586A0; 0134 17 2 225583
0134 0 18 154C7D; 0134 0 19 567B99; 0134 0 20 ECEAD9; 0134 1 20 6A8BA3; 0134 2 20 225583
0134 17 18 154C7D; 0134 17 19 5E829E; 0134 17 20 F9F8F2; 0134 16 20 6184A0; 0134 15 20 154C7D
034 8 3 FCFCFB; 034 8 4 FAFAF9; 034 8 5 F8F8F6; 034 8 6 F6F6F3; 034 8 7 F6F6F2; 034 8 8 F5F5F1
034 8 9 F4F4F0; 034 8 10 F3F3EF; 034 8 11 F3F3EE; 034 8 12 F2F2ED; 034 8 13 F1F1ED; 034 8 14 F1F1EC
034 8 15 F0F0EB; 034 8 16 F0F0EA; 034 8 17 ECEBE6
0 8 1 FFFFFF; 0 8 2 FEFEFE; 0 8 18 E2DFD6; 0 8 19 D6D0C5; 0 15 10 EEEDE7; 0 16 10 E8E5DF
0 1 1 557DA2; 0 16 1 557DA2; 0 1 19 4A7193; 0 16 19 486E90
1 8 1 D1CCC1; 1 8 2 DCD8CF; 1 8 3 E5E4DD; 1 8 4 E6E6E0; 1 8 5 E5E4DE; 1 8 6 E4E3DC; 1 8 7 E4E3DC
1 8 8 E3E3DB; 1 8 9 E3E2DA; 1 8 10 E2E1DA; 1 8 11 E2E1D9; 1 8 12 E2E1D9; 1 8 13 E1E0D9; 1 8 14 E1E0D8
1 8 15 E0E0D7; 1 8 16 E0E0D7; 1 8 17 E2E2DA; 1 8 18 EAE9E3; 1 8 19 F2F1EE
1 1 3 D8D4CB; 1 2 3 DDDAD1; 1 1 15 D6D4C9; 1 2 15 DBDAD0
2 1-16 1-19 F5F4EA; 2 3-14 0 C9C7BA; 2 3-14 20 C9C7BA; 2 0 3-17 C9C7BA; 2 17 3-17 C9C7BA
2 0 0 FFFFFF; 2 17 0 FFFFFF; 2 0 20 FFFFFF; 2 17 20 FFFFFF
3 8 1 FFF0CF; 3 8 2 FDD889; 3 1-2 3 FEDF9A; 3 15-16 3 FCD279; 3 1-2 17 F9B435; 3 15-16 17 F8B535
3 2-15 18 F8B330; 3 2-15 19 E59700
4 8 1 CEE7FF; 4 8 2 BCD4F6; 4 1-2 3 BAD3F5; 4 15-16 3 BAD3F5; 4 1-2 17 89ADE4; 4 15-16 17 89ADE4
4 1-16 18 89ADE4; 4 3-15 19 6982EE; 4 2 19 4D7DC1; 4 1 1 274D85; 4 16 1 274D85; 4 1 19 274D85; 4 16 19 274D85
)";

QString hex(QRgb colour)
{
    return QColor(colour).name().toUpper();
}

QImage skinCell(int cell)
{
    return pictures::buttonSkin().copy(cell * CellWidth, 0, CellWidth, CellHeight).convertToFormat(QImage::Format_RGB32);
}

// The cell an 18 x 21 button shows, or -1 if its surface matches none.
int shownCell(const xpcmdbutton &button)
{
    const QImage shown = button.image().convertToFormat(QImage::Format_RGB32);
    for (int cell = 0; cell < 5; ++cell)
        if (shown == skinCell(cell))
            return cell;
    return -1;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPointF pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The events a button raised, each with the arguments its receiver saw
// (QSignalSpy cannot record arguments passed by reference).
using EventLog = QList<QPair<QString, QVariantList>>;

void record(xpcmdbutton *button, EventLog &log)
{
    const auto mouse = [&log](const char *name) {
        return [&log, name](qint16 &Button, qint16 &Shift, float &x, float &Y) {
            log.append({name, {Button, Shift, x, Y}});
        };
    };
    const auto key = [&log](const char *name) {
        return [&log, name](qint16 &KeyCode, qint16 &Shift) { log.append({name, {KeyCode, Shift}}); };
    };
    QObject::connect(button, &UserControl::MouseDown, button, mouse("MouseDown"));
    QObject::connect(button, &UserControl::MouseMove, button, mouse("MouseMove"));
    QObject::connect(button, &UserControl::MouseUp, button, mouse("MouseUp"));
    QObject::connect(button, &UserControl::KeyDown, button, key("KeyDown"));
    QObject::connect(button, &UserControl::KeyUp, button, key("KeyUp"));
    QObject::connect(button, &UserControl::KeyPress, button, [&log](qint16 &KeyAscii) {
        log.append({QStringLiteral("KeyPress"), {KeyAscii}});
    });
    QObject::connect(button, &UserControl::Click, button, [&log] { log.append({QStringLiteral("Click"), {}}); });
    QObject::connect(button, &UserControl::DblClick, button, [&log] { log.append({QStringLiteral("DblClick"), {}}); });
}

} // namespace

class TestXpcmdbutton : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void skinFile();
    void skinGivenPixels_data();
    void skinGivenPixels();

    void nineSlice_data();
    void nineSlice();
    void restCell_data();
    void restCell();
    void heightOverflow_data();
    void heightOverflow();
    void labelCentred_data();
    void labelCentred();

    void roundTrip_data();
    void roundTrip();
    void loadBag_data();
    void loadBag();
    void setterOrder_data();
    void setterOrder();

    void mouseMove_data();
    void mouseMove();
    void containerChangesButton();
    void clicks_data();
    void clicks();
    void keysPassedOn_data();
    void keysPassedOn();
    void mouseOut_data();
    void mouseOut();

private:
    std::unique_ptr<xpcmdbutton> makeButton(int width = CellWidth, int height = CellHeight,
                                            const PropertyBag *bag = nullptr);
    // Where the hover timer finds the pointer, in client pixels, and how often it looked.
    POINTAPI pointer;
    int pointerReads = 0;
    FontRef ambientFont;
};

void TestXpcmdbutton::init()
{
    pointer = POINTAPI{5, 5};
    pointerReads = 0;
    ambientFont = makeFont(QStringLiteral("DejaVu Sans"), 8);
}

std::unique_ptr<xpcmdbutton> TestXpcmdbutton::makeButton(int width, int height, const PropertyBag *bag)
{
    auto button = std::make_unique<xpcmdbutton>();
    button->setAmbientSource([this] { return UserControl::AmbientProperties{QStringLiteral("Command1"), ambientFont}; });
    button->setPointerSource([this](HWND) {
        ++pointerReads;
        return pointer;
    });
    button->load(bag);
    button->setSurfaceSize(width, height);
    return button;
}

void TestXpcmdbutton::skinFile()
{
    QFile file(QStringLiteral(":/xpcmdbutton/skin.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    QCOMPARE(bytes.size(), 3010);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(u32(10), 1078u); // pixels after the 256-entry palette
    QCOMPARE(u32(14), 40u);
    QCOMPARE(u32(18), 90u);
    QCOMPARE(qint32(u32(22)), 21); // positive: rows stored bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(8));

    // The committed skin is exactly what the generator draws, and the plain
    // face inside the frame is the same in cells 0, 3 and 4.
    const QImage embedded = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
    const QImage generated = pictures::buttonSkin().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(embedded.size(), QSize(90, 21));
    QVERIFY(embedded == generated);
    for (int cell : {3, 4})
        QCOMPARE(skinCell(cell).copy(3, 3, 12, 15), skinCell(0).copy(3, 3, 12, 15));
}

void TestXpcmdbutton::skinGivenPixels_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("colour");
    const auto range = [](const QString &text) {
        const QStringList ends = text.split('-');
        return std::pair{ends.first().toInt(), ends.last().toInt()};
    };
    const QString text = QString::fromLatin1(givenPixels).replace(';', ' ').simplified();
    for (const QString &item : text.split(QRegularExpression("(?<=[0-9A-F]{6}) "))) {
        const QStringList f = item.split(' ');
        QCOMPARE(f.size(), 4);
        const auto [x0, x1] = range(f[1]);
        const auto [y0, y1] = range(f[2]);
        for (const QChar cell : f[0])
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    QTest::addRow("cell %c (%d,%d)", cell.toLatin1(), x, y)
                        << cell.digitValue() << QPoint(x, y) << QLatin1Char('#') + f[3];
    }
}

void TestXpcmdbutton::skinGivenPixels()
{
    QFETCH(int, cell);
    QFETCH(QPoint, at);
    QFETCH(QString, colour);
    static const QImage skin(QStringLiteral(":/xpcmdbutton/skin.bmp"));
    QCOMPARE(hex(skin.pixel(cell * CellWidth + at.x(), at.y())), colour);
}

void TestXpcmdbutton::nineSlice_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("state");
    QTest::newRow("TOGGLE 61x21") << QSize(61, 21) << 0;
    QTest::newRow("TOGGLE 61x21 State 1") << QSize(61, 21) << 1;
    QTest::newRow("one cell 18x21") << QSize(18, 21) << 0;
    QTest::newRow("6 wide") << QSize(6, 21) << 1;
    QTest::newRow("stretched 113x59") << QSize(113, 59) << 0;
    QTest::newRow("narrow and tall 11x30") << QSize(11, 30) << 1;
    QTest::newRow("flat 40x6") << QSize(40, 6) << 0;
}

// Every surface pixel comes from the cell's matching piece: corners as they
// are, edges stretched one way only, the centre both ways.
void TestXpcmdbutton::nineSlice()
{
    QFETCH(QSize, size);
    QFETCH(int, state);
    auto button = makeButton(size.width(), size.height());
    button->setState(state);
    const QImage cell = skinCell(state == 1 ? 4 : 0);
    const QImage shown = button->image();
    QCOMPARE(shown.size(), size);

    // The source columns (rows) a surface column (row) may show.
    const auto span = [](int at, int size, int cellSize) {
        if (at < 3)
            return std::pair{at, at};
        if (at >= size - 3)
            return std::pair{at - size + cellSize, at - size + cellSize};
        return std::pair{3, cellSize - 4};
    };
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const auto [x0, x1] = span(x, size.width(), CellWidth);
            const auto [y0, y1] = span(y, size.height(), CellHeight);
            bool found = false;
            for (int sy = y0; sy <= y1 && !found; ++sy)
                for (int sx = x0; sx <= x1 && !found; ++sx)
                    found = cell.pixel(sx, sy) == shown.pixel(x, y);
            QVERIFY2(found, qPrintable(QStringLiteral("surface (%1, %2) = %3 is no pixel of its piece")
                                           .arg(x).arg(y).arg(hex(shown.pixel(x, y)))));
        }
    }
    if (size == QSize(CellWidth, CellHeight))
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), cell);
    // A stretched edge begins and ends with its own first and last source column (row).
    if (size.width() >= CellWidth) {
        QCOMPARE(hex(shown.pixel(3, 1)), hex(cell.pixel(3, 1)));
        QCOMPARE(hex(shown.pixel(size.width() - 4, 1)), hex(cell.pixel(14, 1)));
    }
    if (size.height() >= CellHeight) {
        QCOMPARE(hex(shown.pixel(1, 3)), hex(cell.pixel(1, 3)));
        QCOMPARE(hex(shown.pixel(1, size.height() - 4)), hex(cell.pixel(1, 17)));
    }
}

void TestXpcmdbutton::restCell_data()
{
    // Assignments in order: "S<n>" sets State, "E0" / "E1" sets Enabled.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("state");
    QTest::newRow("State 1") << QStringList{"S1"} << 4 << 1;
    QTest::newRow("State 1 then 0") << QStringList{"S1", "S0"} << 0 << 0;
    QTest::newRow("State 5 after 1 keeps cell 4") << QStringList{"S1", "S5"} << 4 << 5;
    QTest::newRow("State -1 after 1 keeps cell 4") << QStringList{"S1", "S-1"} << 4 << -1;
    QTest::newRow("State 5 on a new button") << QStringList{"S5"} << 0 << 5;
    QTest::newRow("disabled") << QStringList{"E0"} << 2 << 0;
    QTest::newRow("State 1 while disabled") << QStringList{"E0", "S1"} << 2 << 1;
    QTest::newRow("State 1, disabled, enabled") << QStringList{"S1", "E0", "E1"} << 4 << 1;
    QTest::newRow("State 1, disabled, State 7, enabled") << QStringList{"S1", "E0", "S7", "E1"} << 4 << 7;
}

void TestXpcmdbutton::restCell()
{
    QFETCH(QStringList, steps);
    QFETCH(int, cell);
    QFETCH(int, state);
    auto button = makeButton();
    for (const QString &step : steps) {
        if (step.startsWith('S'))
            button->setState(step.mid(1).toInt());
        else
            button->setEnabled(step == "E1");
    }
    QCOMPARE(shownCell(*button), cell);
    QCOMPARE(button->State(), state);
    QCOMPARE(button->findChild<Label *>("lbl")->ForeColor(), button->Enabled() ? OLE_COLOR(0) : OLE_COLOR(0x0092A1A1));
}

void TestXpcmdbutton::heightOverflow_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("h6 32767 fits") << 32773 << false;
    QTest::newRow("h6 32768 overflows") << 32774 << true;
}

void TestXpcmdbutton::heightOverflow()
{
    QFETCH(int, height);
    QFETCH(bool, overflows);
    auto button = makeButton();
    const float labelTop = button->findChild<Label *>("lbl")->Top();
    if (overflows)
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '6': Overflow: h6.* = 32768 does not fit"));
    button->setSurfaceSize(CellWidth, height);

    // The bottom-left corner lands at H - 3 only if the paint went ahead.
    const QImage shown = button->image();
    const QColor back = QApplication::palette().color(QPalette::Base);
    if (overflows) {
        QCOMPARE(shown.pixelColor(0, height - 1), back);
        QCOMPARE(shown.pixelColor(8, height / 2), back);
        QCOMPARE(button->findChild<Label *>("lbl")->Top(), labelTop); // ended before re-centring
        QVERIFY_THROWS_EXCEPTION(HostError, button->setState(1));
        QCOMPARE(button->State(), 1); // stored before the failing redraw
    } else {
        QCOMPARE(hex(shown.pixel(0, height - 1)), QStringLiteral("#ECEAD9"));
        QVERIFY(shown.pixelColor(8, height / 2) != back);
    }
}

void TestXpcmdbutton::labelCentred_data()
{
    QTest::addColumn<QSize>("surface");
    QTest::addColumn<QSize>("label");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPoint>("placed"); // half pixels round to even
    QTest::newRow("40x10 on 61x21") << QSize(61, 21) << QSize(40, 10) << QPointF(10.5, 5.5) << QPoint(10, 6);
    QTest::newRow("38x11 on 61x21") << QSize(61, 21) << QSize(38, 11) << QPointF(11.5, 5) << QPoint(12, 5);
    QTest::newRow("larger than the button") << QSize(18, 21) << QSize(25, 30) << QPointF(-3.5, -4.5) << QPoint(-4, -4);
}

void TestXpcmdbutton::labelCentred()
{
    QFETCH(QSize, surface);
    QFETCH(QSize, label);
    QFETCH(QPointF, position);
    QFETCH(QPoint, placed);
    auto button = makeButton(surface.width(), surface.height());
    Label *lbl = button->findChild<Label *>("lbl");
    lbl->setAutoSize(false);
    lbl->resize(label);
    button->UserControl_Resize();
    QCOMPARE(QPointF(lbl->Left(), lbl->Top()), position);
    QCOMPARE(lbl->pos(), placed);
    QCOMPARE(lbl->size(), label);
}

void TestXpcmdbutton::roundTrip_data()
{
    QTest::addColumn<qint32>("state");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("ownFont");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("all defaults") << 0 << true << "Command1" << false << QStringList{};
    QTest::newRow("State 1") << 1 << true << "Command1" << false << QStringList{"State"};
    QTest::newRow("State 5, disabled") << 5 << false << "OK" << false << QStringList{"Caption", "Enabled", "State"};
    QTest::newRow("lowest State, own font") << qint32(-2147483647 - 1) << true << "Grüße" << true
                                            << QStringList{"Caption", "Font", "State"};
    QTest::newRow("empty caption") << 0 << true << "" << true << QStringList{"Caption", "Font"};
}

void TestXpcmdbutton::roundTrip()
{
    QFETCH(qint32, state);
    QFETCH(bool, enabled);
    QFETCH(QString, caption);
    QFETCH(bool, ownFont);
    QFETCH(QStringList, stored);
    auto original = makeButton();
    original->setState(state);
    original->setEnabled(enabled);
    original->setCaption(caption);
    const FontRef font = makeFont(QStringLiteral("Small Fonts"), 6, 700, 2);
    if (ownFont)
        original->setFont(font);

    const PropertyBag bag = PropertyBag::fromJson(original->save().toJson());
    QStringList keys = bag.keys();
    keys.sort();
    QCOMPARE(keys, stored); // values equal to their defaults are left out

    auto loaded = makeButton(CellWidth, CellHeight, &bag);
    QCOMPARE(loaded->State(), state);
    QCOMPARE(loaded->Enabled(), enabled);
    QCOMPARE(loaded->Caption(), caption);
    QVERIFY(sameFont(loaded->Font(), ownFont ? font : ambientFont));
    QCOMPARE(shownCell(*loaded), !enabled ? 2 : state == 1 ? 4 : 0);
}

void TestXpcmdbutton::loadBag_data()
{
    QTest::addColumn<QByteArray>("json"); // empty: placed new, without a bag
    QTest::addColumn<QString>("error"); // empty, or the start of the reported run-time error
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("state");
    QTest::newRow("placed new") << QByteArray() << "" << "Command1" << 0;
    QTest::newRow("empty bag") << QByteArray("{}") << "" << "Command1" << 0;
    QTest::newRow("keys in any case") << QByteArray(R"({"STATE": 1, "enabled": true, "CaPtIoN": "TOGGLE"})")
                                      << "" << "TOGGLE" << 1;
    QTest::newRow("text for State") << QByteArray(R"({"state": "one", "Caption": "A"})")
                                    << "Run-time error '13': Type mismatch: property \"State\"" << "xpcmdbutton" << 0;
    QTest::newRow("State too large") << QByteArray(R"({"State": 3000000000})")
                                     << "Run-time error '6': Overflow: property \"State\"" << "xpcmdbutton" << 0;
    QTest::newRow("text for Enabled") << QByteArray(R"({"State": 1, "Enabled": "maybe"})")
                                      << "Run-time error '13': Type mismatch: property \"Enabled\"" << "xpcmdbutton" << 1;
    QTest::newRow("font for Caption") << QByteArray(R"({"caption": {"Name": "Arial", "Size": 8}})")
                                      << "Run-time error '13': Type mismatch: property \"Caption\"" << "xpcmdbutton" << 0;
    QTest::newRow("text for Font") << QByteArray(R"({"Caption": "A", "FONT": "Arial"})")
                                   << "Run-time error '13': Type mismatch: property \"Font\"" << "A" << 0;
}

// Without a bag or from an empty one the button takes the container's name
// and font. A bad value ends the load with an error naming the key; what was
// already assigned stays, and the button goes on working.
void TestXpcmdbutton::loadBag()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QFETCH(QString, caption);
    QFETCH(int, state);
    const PropertyBag bag = json.isEmpty() ? PropertyBag() : PropertyBag::fromJson(json);
    xpcmdbutton button;
    QVERIFY(!button.Font());
    button.setAmbientSource([this] { return UserControl::AmbientProperties{QStringLiteral("Command1"), ambientFont}; });
    QSignalSpy changed(&button, &UserControl::PropertyChanged);
    if (!error.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression('^' + QRegularExpression::escape(error)));
    button.load(json.isEmpty() ? nullptr : &bag);
    button.setSurfaceSize(CellWidth, CellHeight);
    QCOMPARE(button.Caption(), caption);
    QCOMPARE(button.State(), state);
    QCOMPARE(shownCell(button), state == 1 ? 4 : 0);
    if (error.isEmpty()) {
        QVERIFY(button.Enabled());
        QCOMPARE(button.findChild<Label *>("lbl")->ForeColor(), OLE_COLOR(0));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(0).toString(), QStringLiteral("Font"));
        if (caption == "Command1")
            QCOMPARE(button.Font(), ambientFont); // the container's object itself
    }
    button.setEnabled(false);
    QCOMPARE(shownCell(button), 2);
}

void TestXpcmdbutton::setterOrder_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("cellAtNotice"); // -1: no notice
    QTest::addColumn<int>("cellAfter");
    QTest::newRow("State: notify, then redraw") << "State" << 3 << 4;
    QTest::newRow("Enabled: notify, redraw, then caption colour") << "Enabled" << 3 << 2;
    QTest::newRow("Caption: label re-centres and redraws, then notify") << "Caption" << 0 << 0;
    QTest::newRow("Font: share, re-centre and redraw, then notify") << "Font" << 0 << 0;
    QTest::newRow("label's own caption: re-centre and redraw, no notice") << "label" << -1 << 0;
}

void TestXpcmdbutton::setterOrder()
{
    QFETCH(QString, property);
    QFETCH(int, cellAtNotice);
    QFETCH(int, cellAfter);
    auto button = makeButton();
    Label *lbl = button->findChild<Label *>("lbl");
    // The hover look first, so that every redraw of the rest look shows.
    qint16 b = 0, s = 0;
    float x = 4, y = 4;
    button->UserControl_MouseMove(b, s, x, y);
    QCOMPARE(shownCell(*button), 3);

    const FontRef bigger = makeFont(QStringLiteral("DejaVu Sans"), 20);
    const auto centred = [&] {
        return lbl->Left() == (CellWidth - lbl->Width()) / 2 && lbl->Top() == (CellHeight - lbl->Height()) / 2;
    };
    int notices = 0, cellSeen = -1;
    bool centredSeen = false;
    OLE_COLOR colourSeen = 1;
    connect(button.get(), &UserControl::PropertyChanged, this, [&](const QString &key) {
        QCOMPARE(key, property);
        ++notices;
        cellSeen = shownCell(*button);
        centredSeen = centred();
        colourSeen = lbl->ForeColor();
        if (property == "Font") {
            QCOMPARE(button->Font(), bigger);
            QCOMPARE(button->surfaceFont(), bigger);
            QCOMPARE(lbl->Font(), bigger);
        }
    });
    const QSize labelBefore = lbl->size();
    if (property == "State")
        button->setState(1);
    else if (property == "Enabled")
        button->setEnabled(false);
    else if (property == "Caption")
        button->setCaption(QStringLiteral("A much longer caption"));
    else if (property == "Font")
        button->setFont(bigger);
    else
        lbl->setCaption(QStringLiteral("Another long caption"));
    QCOMPARE(notices, cellAtNotice == -1 ? 0 : 1);
    QCOMPARE(cellSeen, cellAtNotice);
    QCOMPARE(shownCell(*button), cellAfter);
    QVERIFY(centred());
    if (property != "State" && property != "Enabled")
        QVERIFY(lbl->size() != labelBefore); // so a notice before re-centring would show
    if (cellAtNotice != -1)
        QVERIFY(centredSeen);
    if (property == "Enabled")
        QCOMPARE(colourSeen, OLE_COLOR(0)); // still black at the notice
}

void TestXpcmdbutton::mouseMove_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<qint16>("button");
    QTest::addColumn<int>("cell"); // -1: no event, nothing painted
    QTest::newRow("(0, 0)") << QPointF(0, 0) << qint16(0) << 3;
    QTest::newRow("(W, H)") << QPointF(18, 21) << qint16(0) << 3;
    QTest::newRow("left button") << QPointF(9, 10) << qint16(1) << 1;
    QTest::newRow("right button") << QPointF(9, 10) << qint16(2) << 3;
    QTest::newRow("left and right") << QPointF(9, 10) << qint16(3) << 3;
    QTest::newRow("(-1, 0)") << QPointF(-1, 0) << qint16(0) << -1;
    QTest::newRow("(W + 1, 0) left button") << QPointF(19, 0) << qint16(1) << -1;
    QTest::newRow("(0, H + 0.5)") << QPointF(0, 21.5) << qint16(0) << -1;
}

void TestXpcmdbutton::mouseMove()
{
    QFETCH(QPointF, at);
    QFETCH(qint16, button);
    QFETCH(int, cell);
    auto control = makeButton();
    control->setState(1);
    EventLog log;
    record(control.get(), log);
    qint16 b = button, s = 1;
    float x = float(at.x()), y = float(at.y());
    control->UserControl_MouseMove(b, s, x, y);
    QVERIFY(control->findChild<QTimer *>("Timer1")->isActive()); // on for every move
    QCOMPARE(shownCell(*control), cell == -1 ? 4 : cell);
    if (cell == -1)
        QVERIFY(log.isEmpty());
    else
        QCOMPARE(log, (EventLog{{"MouseMove", {button, qint16(1), float(at.x()), float(at.y())}}}));
}

void TestXpcmdbutton::containerChangesButton()
{
    auto button = makeButton();
    qint16 replacement = 1;
    connect(button.get(), &UserControl::MouseMove, this, [&](qint16 &Button, qint16 &, float &, float &) {
        Button = replacement;
    });
    qint16 b = 0, s = 0;
    float x = 3, y = 3;
    button->UserControl_MouseMove(b, s, x, y);
    QCOMPARE(shownCell(*button), 1);
    replacement = 0;
    button->UserControl_MouseMove(b, s, x, y);
    QCOMPARE(shownCell(*button), 3);
}

void TestXpcmdbutton::clicks_data()
{
    QTest::addColumn<bool>("onLabel");
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<bool>("quick"); // a second click follows as a double click
    QTest::newRow("left on the surface") << false << int(Qt::LeftButton) << false;
    QTest::newRow("left on the label") << true << int(Qt::LeftButton) << false;
    QTest::newRow("right on the label") << true << int(Qt::RightButton) << false;
    QTest::newRow("quick pair on the surface") << false << int(Qt::LeftButton) << true;
    QTest::newRow("quick pair on the label") << true << int(Qt::LeftButton) << true;
}

// Press and release: pressed look, then the rest look even over the button,
// events in the receiver's own coordinates; a left click raises Click, also
// the second of a quick pair, as the button has no double click.
void TestXpcmdbutton::clicks()
{
    QFETCH(bool, onLabel);
    QFETCH(int, mouseButton);
    QFETCH(bool, quick);
    auto button = makeButton(61, 21);
    button->setState(1);
    QWidget *target = onLabel ? static_cast<QWidget *>(button->findChild<Label *>("lbl")) : button.get();
    const auto qtButton = Qt::MouseButton(mouseButton);
    EventLog log;
    record(button.get(), log);

    for (const QEvent::Type press : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        if (press == QEvent::MouseButtonDblClick && !quick)
            break;
        sendMouse(target, press, QPointF(3, 4), qtButton);
        QCOMPARE(hex(button->image().pixel(1, 3)), hex(skinCell(1).pixel(1, 3)));
        sendMouse(target, QEvent::MouseButtonRelease, QPointF(3, 4), qtButton);
        QCOMPARE(hex(button->image().pixel(1, 3)), hex(skinCell(4).pixel(1, 3)));
    }
    const QVariantList args{qint16(mouseButton == Qt::LeftButton ? 1 : 2), qint16(0), 3.0f, 4.0f};
    EventLog expected{{"MouseDown", args}, {"MouseUp", args}};
    if (mouseButton == Qt::LeftButton)
        expected.append({QStringLiteral("Click"), {}});
    if (quick)
        expected += expected;
    QCOMPARE(log, expected);
}

void TestXpcmdbutton::keysPassedOn_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<EventLog>("expected");
    const auto down = [](qint16 code) { return QPair<QString, QVariantList>("KeyDown", {code, qint16(1)}); };
    const auto up = [](qint16 code) { return QPair<QString, QVariantList>("KeyUp", {code, qint16(1)}); };
    const auto typed = [](qint16 ascii) { return QPair<QString, QVariantList>("KeyPress", {ascii}); };
    QTest::newRow("Space") << int(Qt::Key_Space) << " " << EventLog{down(32), typed(32), up(32)};
    QTest::newRow("Enter") << int(Qt::Key_Return) << "\r" << EventLog{down(13), typed(13), up(13)};
    QTest::newRow("letter A") << int(Qt::Key_A) << "A" << EventLog{down(65), typed(65), up(65)};
    QTest::newRow("F5") << int(Qt::Key_F5) << "" << EventLog{down(116), up(116)};
}

// Keys are only passed on: no pressed look and no Click. A click from the
// keyboard comes only through an access key.
void TestXpcmdbutton::keysPassedOn()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(EventLog, expected);
    auto button = makeButton();
    EventLog log;
    record(button.get(), log);
    QKeyEvent press(QEvent::KeyPress, key, Qt::ShiftModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ShiftModifier, text);
    QApplication::sendEvent(button.get(), &press);
    QCOMPARE(shownCell(*button), 0);
    QApplication::sendEvent(button.get(), &release);
    QCOMPARE(log, expected);
    QCOMPARE(shownCell(*button), 0);

    log.clear();
    qint16 ascii = qint16(text.isEmpty() ? 0 : text.at(0).unicode());
    button->UserControl_AccessKeyPress(ascii);
    QCOMPARE(log, (EventLog{{"Click", {}}}));
    QCOMPARE(shownCell(*button), 0);
}

void TestXpcmdbutton::mouseOut_data()
{
    QTest::addColumn<QPoint>("pointerAt");
    QTest::addColumn<bool>("leaves");
    QTest::addColumn<bool>("disable"); // disabled while the timer is on
    QTest::newRow("(0, 0) inside") << QPoint(0, 0) << false << false;
    QTest::newRow("(W, H) inside") << QPoint(18, 21) << false << false;
    QTest::newRow("(W + 1, 0)") << QPoint(19, 0) << true << false;
    QTest::newRow("(0, H + 1)") << QPoint(0, 22) << true << false;
    QTest::newRow("(-1, 5)") << QPoint(-1, 5) << true << false;
    QTest::newRow("(5, -1) while disabled") << QPoint(5, -1) << true << true;
}

// The timer watches after a move until the pointer is outside; then it stops,
// MouseOut is raised once and the rest look (cell 4 for State 1) painted.
void TestXpcmdbutton::mouseOut()
{
    QFETCH(QPoint, pointerAt);
    QFETCH(bool, leaves);
    QFETCH(bool, disable);
    auto button = makeButton();
    button->setState(1);
    QTimer *Timer1 = button->findChild<QTimer *>("Timer1");
    QCOMPARE(Timer1->interval(), 10);
    int mouseOuts = 0, cellAtMouseOut = -1;
    bool timerOnAtMouseOut = true;
    connect(button.get(), &xpcmdbutton::MouseOut, this, [&] {
        ++mouseOuts;
        cellAtMouseOut = shownCell(*button);
        timerOnAtMouseOut = Timer1->isActive();
    });

    for (int pass = 1; pass <= 2; ++pass) {
        pointer = POINTAPI{9, 9};
        qint16 b = 0, s = 0;
        float x = 9, y = 9;
        button->UserControl_MouseMove(b, s, x, y);
        const int reads = pointerReads;
        QTRY_VERIFY(pointerReads >= reads + 2);
        QCOMPARE(mouseOuts, pass - 1);
        if (disable)
            button->setEnabled(false);

        pointer = POINTAPI{pointerAt.x(), pointerAt.y()};
        if (!leaves) {
            QTRY_VERIFY(pointerReads >= reads + 5);
            QCOMPARE(mouseOuts, 0);
            QVERIFY(Timer1->isActive());
            return;
        }
        QTRY_COMPARE(mouseOuts, pass);
        QVERIFY(!timerOnAtMouseOut); // switched off before MouseOut
        QCOMPARE(cellAtMouseOut, disable ? 2 : 3); // the rest look comes after it
        QCOMPARE(shownCell(*button), disable ? 2 : 4);
        QVERIFY(!Timer1->isActive()); // no tick until the next move
    }
}

QTEST_MAIN(TestXpcmdbutton)
#include "tst_xpcmdbutton.moc"
