#include "buttonskin.h"
#include <Huvolo/hosterror.h>
#include "label.h"
#include <Huvolo/placement.h>
#include <Huvolo/propertybag.h>
#include "testsupport.h"
#include <Huvolo/xpcmdbutton.h>

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <functional>
#include <limits>
#include <memory>

using namespace huvolo;

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
    const QImage skin = pictures::buttonSkin().convertToFormat(QImage::Format_RGB32);
    return skin.copy(cell * CellWidth, 0, CellWidth, CellHeight);
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

Label *labelOf(const xpcmdbutton &button)
{
    return button.findChild<Label *>(QStringLiteral("lbl"));
}

// The caption colour as "#RRGGBB" (OLE colours are 0x00BBGGRR).
QString captionColour(const xpcmdbutton &button)
{
    const OLE_COLOR c = labelOf(button)->ForeColor();
    return hex(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

// Logs the events a button raises with the arguments its receivers saw, as
// "MouseDown(1,0,3,4)" (QSignalSpy cannot record arguments passed by reference).
void record(xpcmdbutton *button, QStringList &log)
{
    const auto entry = [&log](const char *name) {
        return [&log, name](auto &...args) {
            const QStringList values{QString::number(args)...};
            log << QLatin1String(name) + (values.isEmpty() ? QString() : '(' + values.join(',') + ')');
        };
    };
    QObject::connect(button, &UserControl::MouseDown, button, entry("MouseDown"));
    QObject::connect(button, &UserControl::MouseMove, button, entry("MouseMove"));
    QObject::connect(button, &UserControl::MouseUp, button, entry("MouseUp"));
    QObject::connect(button, &UserControl::KeyDown, button, entry("KeyDown"));
    QObject::connect(button, &UserControl::KeyPress, button, entry("KeyPress"));
    QObject::connect(button, &UserControl::KeyUp, button, entry("KeyUp"));
    QObject::connect(button, &UserControl::Click, button, entry("Click"));
    QObject::connect(button, &UserControl::DblClick, button, entry("DblClick"));
}

} // namespace

class TestXpcmdbutton : public QObject
{
    Q_OBJECT

    // Where the hover timer finds the pointer, in client pixels, and how often it looked.
    QPoint pointer;
    int pointerReads = 0;
    FontRef ambientFont;

    std::unique_ptr<xpcmdbutton> makeButton(int width = CellWidth, int height = CellHeight,
                                            const PropertyBag *bag = nullptr)
    {
        auto button = std::make_unique<xpcmdbutton>();
        const auto ambient = [this] { return UserControl::AmbientProperties{"Command1", ambientFont}; };
        button->setPointerSource([this](const QWidget *) {
            ++pointerReads;
            return pointer;
        });
        place(button.get(), StoredRect::fromPixels(QRect(0, 0, width, height)), ambient, bag);
        return button;
    }

    // State, Enabled, Caption, Font (the container's own object or its face) and the cell shown.
    QString summary(const xpcmdbutton &button) const
    {
        const FontRef f = button.Font();
        const QString font = !f ? QStringLiteral("no font") : f == ambientFont ? QStringLiteral("ambient font")
            : QStringLiteral("%1 %2 %3 %4").arg(f->Name).arg(f->Size).arg(f->Weight).arg(f->Charset);
        return QStringLiteral("State %1, %2, \"%3\", %4, cell %5").arg(button.State())
            .arg(button.Enabled() ? "enabled" : "disabled", button.Caption(), font).arg(shownCell(button));
    }

private slots:
    void init()
    {
        pointer = QPoint(5, 5);
        pointerReads = 0;
        ambientFont = makeFont(QStringLiteral("DejaVu Sans"), 8);
    }

    // The committed skin: an 8-bit bottom-up 90 x 21 BMP with a 256-entry palette,
    // exactly what the generator draws, with every pixel listed above.
    void skin()
    {
        QFile file(sourceFile("controls/xpcmdbutton/skin.bmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
        QCOMPARE(bytes.size(), 3010);
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE((QList<quint32>{u32(10), u32(14), u32(18), u32(22), u32(28) & 0xFFFF}),
                 (QList<quint32>{1078, 40, 90, 21, 8}));
        const QImage embedded = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(embedded.size(), QSize(90, 21));
        QVERIFY(embedded == pictures::buttonSkin().convertToFormat(QImage::Format_RGB32));
        QVERIFY(embedded == huvolo::embedded::buttonSkin.image().convertToFormat(QImage::Format_RGB32));

        QStringList wrong;
        int checked = 0;
        const auto range = [](const QString &a) {
            return std::pair{a.section('-', 0, 0).toInt(), a.section('-', -1).toInt()};
        };
        const QString text = QString::fromLatin1(givenPixels).replace(';', ' ').simplified();
        for (const QString &item : text.split(QRegularExpression("(?<=[0-9A-F]{6}) "))) {
            const QStringList f = item.split(' ');
            QCOMPARE(f.size(), 4);
            const auto [x0, x1] = range(f[1]);
            const auto [y0, y1] = range(f[2]);
            for (const QChar cell : f[0])
                for (int y = y0; y <= y1; ++y)
                    for (int x = x0; x <= x1; ++x, ++checked)
                        if (const QString is = hex(embedded.pixel(cell.digitValue() * CellWidth + x, y)); is.mid(1) != f[3])
                            wrong << QStringLiteral("cell %1 (%2, %3) %4").arg(cell).arg(x).arg(y).arg(is);
        }
        QCOMPARE(wrong, QStringList());
        QCOMPARE(checked, 818);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("state");
        QTest::addColumn<QRectF>("label"); // where a label of that size goes
        QTest::addColumn<QPoint>("placed"); // half pixels round to even
        QTest::newRow("TOGGLE 61x21") << QSize(61, 21) << 0 << QRectF(10.5, 5.5, 40, 10) << QPoint(10, 6);
        QTest::newRow("TOGGLE 61x21 State 1") << QSize(61, 21) << 1 << QRectF(11.5, 5, 38, 11) << QPoint(12, 5);
        QTest::newRow("one cell 18x21") << QSize(18, 21) << 0 << QRectF(-3.5, -4.5, 25, 30) << QPoint(-4, -4);
        QTest::newRow("6 wide") << QSize(6, 21) << 1 << QRectF(0.5, 0.5, 5, 20) << QPoint(0, 0);
        QTest::newRow("stretched 113x59") << QSize(113, 59) << 0 << QRectF(50, 20, 13, 19) << QPoint(50, 20);
        QTest::newRow("narrow and tall 11x30") << QSize(11, 30) << 1 << QRectF(1.5, 11.5, 8, 7) << QPoint(2, 12);
        QTest::newRow("flat 40x6") << QSize(40, 6) << 0 << QRectF(2.5, 2, 35, 2) << QPoint(2, 2);
    }

    // The surface shows the rest cell as a nine-slice: every pixel comes from
    // the cell's matching piece, corners as they are, edges stretched one way
    // only, the centre both ways. The label is centred.
    void layout()
    {
        QFETCH(QSize, size);
        QFETCH(int, state);
        QFETCH(QRectF, label);
        QFETCH(QPoint, placed);
        auto button = makeButton(size.width(), size.height());
        button->setState(state);
        const QImage cell = skinCell(state == 1 ? 4 : 0);
        const QImage shown = button->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), size);
        if (size == QSize(CellWidth, CellHeight))
            QCOMPARE(shown, cell);

        // The first and last source column (row) a surface column (row) may show.
        const auto span = [](int at, int size, int cellSize) {
            const int end = at - size + cellSize;
            return at < 3 ? std::pair{at, at} : at >= size - 3 ? std::pair{end, end} : std::pair{3, cellSize - 4};
        };
        QStringList wrong;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const auto [x0, x1] = span(x, size.width(), CellWidth);
                const auto [y0, y1] = span(y, size.height(), CellHeight);
                bool found = false;
                for (int sy = y0; sy <= y1; ++sy)
                    for (int sx = x0; sx <= x1; ++sx)
                        found = found || cell.pixel(sx, sy) == shown.pixel(x, y);
                if (!found)
                    wrong << QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(hex(shown.pixel(x, y)));
            }
        }
        QCOMPARE(wrong, QStringList());
        // A stretched edge begins and ends with its own first and last source column (row).
        const auto pair = [](const QImage &im, QPoint a, QPoint b) { return hex(im.pixel(a)) + hex(im.pixel(b)); };
        if (size.width() >= CellWidth)
            QCOMPARE(pair(shown, {3, 1}, {size.width() - 4, 1}), pair(cell, {3, 1}, {14, 1}));
        if (size.height() >= CellHeight)
            QCOMPARE(pair(shown, {1, 3}, {1, size.height() - 4}), pair(cell, {1, 3}, {1, 17}));

        Label *lbl = labelOf(*button);
        lbl->setAutoSize(false);
        lbl->resize(label.size().toSize());
        button->UserControl_Resize();
        QCOMPARE(QRectF(lbl->Left(), lbl->Top(), lbl->Width(), lbl->Height()), label);
        QCOMPARE(lbl->geometry(), QRect(placed, label.size().toSize()));
    }

    // A surface is at most 8192 pixels a side: the tallest button paints its
    // last row; anything larger is refused and leaves the button as it was.
    void surfaceBound_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("8192 tall") << QSize(CellWidth, 8192) << true;
        QTest::newRow("8192 square") << QSize(8192, 8192) << true;
        QTest::newRow("8193 tall") << QSize(CellWidth, 8193) << false;
        QTest::newRow("32767 square") << QSize(32767, 32767) << false;
        QTest::newRow("65535 wide") << QSize(65535, CellHeight) << false;
        QTest::newRow("negative") << QSize(-1, CellHeight) << false;
    }

    void surfaceBound()
    {
        QFETCH(QSize, size);
        QFETCH(bool, accepted);
        auto button = makeButton();
        const QImage before = button->image();
        try {
            button->setSurfaceSize(size.width(), size.height());
            QVERIFY(accepted);
        } catch (const HostError &error) {
            QVERIFY2(!accepted, error.what());
            QCOMPARE(error.number(), int(HostError::InvalidPropertyValue));
            QVERIFY(error.description().contains(QStringLiteral("8192")));
            QCOMPARE(button->size(), QSize(CellWidth, CellHeight));
            QCOMPARE(button->image(), before);
            return;
        }
        QCOMPARE(button->image().size(), size);
        QCOMPARE(hex(button->image().pixel(0, size.height() - 1)), QStringLiteral("#ECEAD9"));
        QCOMPARE(hex(button->image().pixel(size.width() - 1, size.height() - 1)), QStringLiteral("#F9F8F2"));
        // Resizes from outside, as layouts do, are held to the same bound.
        button->resize(20000, 20000);
        QCOMPARE(button->size(), QSize(8192, 8192));
    }

    // A font a saved bag could not load back is refused at assignment with
    // the field named, and nothing changes: no notice, no redraw.
    void fontRefused_data()
    {
        QTest::addColumn<FontRef>("font");
        QTest::addColumn<QString>("named");
        QTest::newRow("no name") << makeFont("", 8) << "\"Font.Name\"";
        QTest::newRow("size 0") << makeFont("A", 0) << "\"Font.Size\"";
        QTest::newRow("size below 0") << makeFont("A", -6) << "\"Font.Size\"";
        QTest::newRow("size above 2048") << makeFont("A", 2048.5) << "\"Font.Size\"";
        QTest::newRow("size not a number") << makeFont("A", qQNaN()) << "\"Font.Size\"";
        QTest::newRow("weight below 0") << makeFont("A", 8, -1) << "\"Font.Weight\"";
        QTest::newRow("weight above 1000") << makeFont("A", 8, 1001) << "\"Font.Weight\"";
        QTest::newRow("charset below 0") << makeFont("A", 8, 400, -1) << "\"Font.Charset\"";
        QTest::newRow("charset above 255") << makeFont("A", 8, 400, 256) << "\"Font.Charset\"";
        QTest::newRow("no font object") << FontRef() << "Font needs a font object";
    }

    void fontRefused()
    {
        QFETCH(FontRef, font);
        QFETCH(QString, named);
        auto button = makeButton(61, 21);
        button->setState(1);
        const QImage before = button->image();
        QSignalSpy notices(button.get(), &UserControl::PropertyChanged);
        try {
            button->setFont(font);
            QFAIL("the font was accepted");
        } catch (const HostError &error) {
            QCOMPARE(error.number(), int(HostError::InvalidPropertyValue));
            QVERIFY2(error.description().contains(named), error.what());
        }
        QVERIFY(button->Font() == ambientFont);
        QCOMPARE(notices.count(), 0);
        QCOMPARE(button->image(), before);
        // The saved bag still loads, Caption and State with it.
        const PropertyBag saved = PropertyBag::fromJson(button->save().toJson());
        QCOMPARE(summary(*makeButton(61, 21, &saved)), summary(*button));
    }

    // Whatever a setter accepts is saved, written as JSON, read back and
    // loaded into a new button unchanged.
    void roundTrip_data()
    {
        using Assign = std::function<void(xpcmdbutton &)>;
        QTest::addColumn<Assign>("assign");
        const auto row = [](const char *name, Assign assign) { QTest::newRow(name) << assign; };
        row("as placed", [](xpcmdbutton &) {});
        for (const qint32 state : {1, 5, -1, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()})
            row(qPrintable(QStringLiteral("State %1").arg(state)), [state](xpcmdbutton &b) { b.setState(state); });
        row("disabled", [](xpcmdbutton &b) { b.setEnabled(false); });
        row("caption with markup and %1", [](xpcmdbutton &b) { b.setCaption("<b>%1</b> &amp;"); });
        row("empty caption", [](xpcmdbutton &b) { b.setCaption(""); });
        row("caption beyond Latin-1", [](xpcmdbutton &b) { b.setCaption(QStringLiteral("\u00c4\u20ac\n\U0001F600")); });
        row("long caption", [](xpcmdbutton &b) { b.setCaption(QString(5000, 'W')); });
        row("smallest font", [](xpcmdbutton &b) { b.setFont(makeFont("DejaVu Sans", 0.01, 0, 0)); });
        row("largest font", [](xpcmdbutton &b) { b.setFont(makeFont("DejaVu Sans", 2048, 1000, 255)); });
        row("font with every flag", [](xpcmdbutton &b) {
            const FontRef font = makeFont("Small Fonts", 6.75, 700, 2);
            font->Italic = font->Underline = font->Strikethrough = true;
            b.setFont(font);
        });
    }

    void roundTrip()
    {
        QFETCH(std::function<void(xpcmdbutton &)>, assign);
        auto button = makeButton(61, 21);
        assign(*button);
        const PropertyBag saved = PropertyBag::fromJson(button->save().toJson());
        auto loaded = makeButton(61, 21, &saved);
        QCOMPARE(summary(*loaded), summary(*button));
        QCOMPARE(loaded->image(), button->image());
    }

    // The font property, Font as a Qt font for font editors and forms: a
    // write makes a new font object (what the Qt font leaves unset taken
    // from the current font) and runs the Font property's steps. A value
    // Font refuses is reported when it comes through the property system,
    // and changes nothing.
    void qtFont_data()
    {
        using Write = std::function<void(xpcmdbutton &)>;
        QTest::addColumn<Write>("write");
        QTest::addColumn<QString>("font"); // as summary() shows it
        QTest::addColumn<QString>("error"); // the start of the reported run-time error, if any
        QTest::newRow("a whole font through the property system") << Write([](xpcmdbutton &b) {
            b.setProperty("font", QFont("DejaVu Serif", 12, QFont::Bold, true));
        }) << "DejaVu Serif 12 700 0" << "";
        QTest::newRow("only a size, through setFont") << Write([](xpcmdbutton &b) {
            b.setFont(makeFont("DejaVu Serif", 8, 700));
            QFont font;
            font.setPointSizeF(14.5);
            b.setFont(font);
        }) << "DejaVu Serif 14.5 700 0" << "";
        QTest::newRow("only bold, through the property system") << Write([](xpcmdbutton &b) {
            QFont font;
            font.setBold(true);
            b.setProperty("font", font);
        }) << "DejaVu Sans 8 700 0" << "";
        QTest::newRow("2049 points through the property system") << Write([](xpcmdbutton &b) {
            b.setProperty("font", QFont("DejaVu Sans", 2049));
        }) << "ambient font" << "Run-time error '380': Invalid property value: \"Font.Size\"";
        QTest::newRow("no font object through the property system") << Write([](xpcmdbutton &b) {
            b.setProperty("Font", QVariant::fromValue(FontRef()));
        }) << "ambient font" << "Run-time error '380': Invalid property value: Font needs a font object";
    }

    void qtFont()
    {
        QFETCH(std::function<void(xpcmdbutton &)>, write);
        QFETCH(QString, font);
        QFETCH(QString, error);
        auto button = makeButton();
        QCOMPARE(button->property("font").value<QFont>(), ambientFont->toQFont());
        QSignalSpy changed(button.get(), &UserControl::PropertyChanged);
        if (!error.isEmpty())
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression('^' + QRegularExpression::escape(error)));
        write(*button);
        QCOMPARE(summary(*button), QStringLiteral("State 0, enabled, \"Command1\", %1, cell 0").arg(font));
        QCOMPARE(changed.count() > 0, error.isEmpty());
        for (const QList<QVariant> &notice : changed)
            QCOMPARE(notice.at(0).toString(), QStringLiteral("Font"));
        const FontRef assigned = button->Font();
        QVERIFY(assigned == button->surfaceFont() && assigned == labelOf(*button)->Font()); // the very object
        QCOMPARE(button->property("font").value<QFont>(), assigned->toQFont());
    }

    // QWidget::setEnabled through a QWidget pointer, as layouts and forms
    // call it, runs the Enabled property's steps; a disabled parent leaves
    // the property and the look as they are.
    void enabledThroughBaseClass_data()
    {
        using Change = std::function<void(xpcmdbutton &)>;
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("notices");
        QTest::addColumn<QString>("look"); // cell and caption colour
        QTest::newRow("QWidget::setEnabled(false)") << Change([](xpcmdbutton &b) { static_cast<QWidget &>(b).setEnabled(false); })
                                                    << false << 1 << "2 #A1A192";
        QTest::newRow("off and on through QWidget") << Change([](xpcmdbutton &b) {
            static_cast<QWidget &>(b).setEnabled(false);
            static_cast<QWidget &>(b).setEnabled(true);
        }) << true << 2 << "4 #000000";
        QTest::newRow("the property system") << Change([](xpcmdbutton &b) { b.setProperty("Enabled", false); })
                                             << false << 1 << "2 #A1A192";
        QTest::newRow("parent disabled") << Change([](xpcmdbutton &b) {
            auto *parent = new QWidget;
            b.setParent(parent);
            parent->setEnabled(false);
            QVERIFY(!b.isEnabled());
        }) << true << 0 << "4 #000000";
    }

    void enabledThroughBaseClass()
    {
        QFETCH(std::function<void(xpcmdbutton &)>, change);
        QFETCH(bool, enabled);
        QFETCH(int, notices);
        QFETCH(QString, look);
        auto button = makeButton();
        button->setState(1);
        QSignalSpy changed(button.get(), &UserControl::PropertyChanged);
        change(*button);
        QCOMPARE(button->Enabled(), enabled);
        QCOMPARE(changed.count(), notices);
        QCOMPARE(QString::number(shownCell(*button)) + ' ' + captionColour(*button), look);
        if (QWidget *parent = button->parentWidget()) {
            button.release(); // the parent owns it now
            delete parent;
        }
    }

    void persistence_data()
    {
        QTest::addColumn<QString>("json"); // empty: placed new, without a bag
        QTest::addColumn<QString>("error"); // the start of the reported run-time error, if any
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("saved"); // the keys saved: values equal to their defaults are left out
        const QString plain = QStringLiteral("State 0, enabled, \"Command1\", ambient font, cell 0");
        const QString mismatch = QStringLiteral("Run-time error '13': Type mismatch: property \"%1\"");
        const QString unloaded = QStringLiteral("State %1, enabled, \"%2\", no font, cell %3");
        QTest::newRow("placed new") << "" << "" << plain << "";
        QTest::newRow("empty bag") << "{}" << "" << plain << "";
        QTest::newRow("keys in any case") << R"({"STATE": 1, "enabled": true, "CaPtIoN": "TOGGLE"})" << ""
                                          << "State 1, enabled, \"TOGGLE\", ambient font, cell 4" << "Caption State";
        QTest::newRow("State 5, disabled") << R"({"State": 5, "Enabled": false, "Caption": "OK"})" << ""
                                           << "State 5, disabled, \"OK\", ambient font, cell 2"
                                           << "Caption Enabled State";
        QTest::newRow("lowest State, own font")
            << R"({"State": -2147483648, "Caption": "Grüße", "Font": {"Name": "Small Fonts", "Size": 6, "Weight": 700,
                  "Charset": 2}})" << "" << "State -2147483648, enabled, \"Grüße\", Small Fonts 6 700 2, cell 0"
            << "Caption Font State";
        QTest::newRow("empty caption") << R"({"Caption": ""})" << "" << "State 0, enabled, \"\", ambient font, cell 0"
                                       << "Caption";
        // A bad value ends the load; what was already assigned stays.
        QTest::newRow("text for State") << R"({"state": "one", "Caption": "A"})" << mismatch.arg("State")
                                        << unloaded.arg(0).arg("xpcmdbutton").arg(0) << "";
        QTest::newRow("State too large") << R"({"State": 3000000000})"
                                         << "Run-time error '6': Overflow: property \"State\""
                                         << unloaded.arg(0).arg("xpcmdbutton").arg(0) << "";
        // State is read without a redraw, so until it is shown the button still
        // shows the cell UserControl_Initialize painted.
        QTest::newRow("text for Enabled") << R"({"State": 1, "Enabled": "maybe"})" << mismatch.arg("Enabled")
                                          << unloaded.arg(1).arg("xpcmdbutton").arg(0) << "";
        QTest::newRow("font for Caption") << R"({"caption": {"Name": "Arial", "Size": 8}})" << mismatch.arg("Caption")
                                          << unloaded.arg(0).arg("xpcmdbutton").arg(0) << "";
        QTest::newRow("text for Font") << R"({"Caption": "A", "FONT": "Arial"})" << mismatch.arg("Font")
                                       << unloaded.arg(0).arg("A").arg(0) << "";
    }

    // Loaded, saved and loaded again the button is the same; after a failed
    // load it goes on working.
    void persistence()
    {
        QFETCH(QString, json);
        QFETCH(QString, error);
        QFETCH(QString, loaded);
        QFETCH(QString, saved);
        const PropertyBag bag = json.isEmpty() ? PropertyBag() : PropertyBag::fromJson(json.toUtf8());
        xpcmdbutton button;
        QVERIFY(!button.Font());
        QStringList notices;
        connect(&button, &UserControl::PropertyChanged, this, [&](const QString &key) { notices << key; });
        if (!error.isEmpty())
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression('^' + QRegularExpression::escape(error)));
        place(&button, StoredRect::fromPixels(QRect(0, 0, CellWidth, CellHeight)),
              [this] { return UserControl::AmbientProperties{"Command1", ambientFont}; }, json.isEmpty() ? nullptr : &bag);
        QCOMPARE(summary(button), loaded);
        if (error.isEmpty()) {
            QCOMPARE(notices, (QStringList{"Enabled", "Caption", "Font"}));
            QCOMPARE(captionColour(button), button.Enabled() ? "#000000" : "#A1A192");
            const PropertyBag stored = PropertyBag::fromJson(button.save().toJson());
            QStringList keys = stored.keys();
            keys.sort();
            QCOMPARE(keys.join(' '), saved);
            QCOMPARE(summary(*makeButton(CellWidth, CellHeight, &stored)), loaded);
        }
        button.setEnabled(false);
        QCOMPARE(shownCell(button), 2);
    }

    void input_data()
    {
        // Steps on an 18 x 21 button. After each (but "pointer", "container" and
        // "watch") the trace shows the events raised, with the arguments receivers
        // saw, and the cell shown; at the end whether the hover timer runs. Presses
        // and releases are at (3, 4), left unless "right"; moves carry Shift 1, keys
        // Shift. "pointer" sets where the hover timer finds the pointer; "watch"
        // logs each property notice with the cell and caption colour at that moment.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("trace");
        QTest::newRow("State 1") << "State 1" << "[4], timer off";
        QTest::newRow("State 1, 0") << "State 1; State 0" << "[4] [0], timer off";
        QTest::newRow("State 5 and -1 after 1") << "State 1; State 5; State -1" << "[4] [4] [4], timer off";
        QTest::newRow("State 5 on a new button") << "State 5" << "[0], timer off";
        QTest::newRow("disabled") << "Enabled 0" << "[2], timer off";
        QTest::newRow("State 1 while disabled, enabled") << "Enabled 0; State 1; Enabled 1" << "[2] [2] [4], timer off";
        QTest::newRow("State 1, disabled, State 7, enabled") << "State 1; Enabled 0; State 7; Enabled 1"
                                                             << "[4] [2] [2] [4], timer off";

        // Setters notify, then redraw; Caption and Font re-centre and redraw first.
        // The hover look comes first, so that every redraw of the rest look shows.
        const QString hover = QStringLiteral("move 4 4; watch; ");
        const QString hovered = QStringLiteral("MouseMove(0,1,4,4) [3] ");
        QTest::newRow("set State") << hover + "State 1" << hovered + "State(3,#000000) [4], timer on";
        QTest::newRow("set Enabled") << hover + "Enabled 0" << hovered + "Enabled(3,#000000) [2], timer on";
        QTest::newRow("set Caption") << hover + "Caption A longer caption" << hovered + "Caption(0,#000000) [0], timer on";
        QTest::newRow("set Font") << hover + "Font 20" << hovered + "Font(0,#000000,shared) [0], timer on";
        QTest::newRow("set lbl's caption") << hover + "lbl Another long caption" << hovered + "[0], timer on";

        QTest::newRow("move to (0, 0)") << "State 1; move 0 0" << "[4] MouseMove(0,1,0,0) [3], timer on";
        QTest::newRow("move to (W, H)") << "State 1; move 18 21" << "[4] MouseMove(0,1,18,21) [3], timer on";
        QTest::newRow("move, left button") << "State 1; move 9 10 1" << "[4] MouseMove(1,1,9,10) [1], timer on";
        QTest::newRow("move, right button") << "move 9 10 2" << "MouseMove(2,1,9,10) [3], timer on";
        QTest::newRow("move, left and right") << "move 9 10 3" << "MouseMove(3,1,9,10) [3], timer on";
        QTest::newRow("move to (-1, 0)") << "State 1; move -1 0" << "[4] [4], timer on";
        QTest::newRow("move to (-1, 0) after hover") << "move 9 10; move -1 0" << "MouseMove(0,1,9,10) [3] [3], timer on";
        QTest::newRow("move to (W + 1, 0), left") << "State 1; move 19 0 1" << "[4] [4], timer on";
        QTest::newRow("move to (0, H + 0.5)") << "move 9 10 1; move 0 21.5" << "MouseMove(1,1,9,10) [1] [1], timer on";
        QTest::newRow("container sets Button 1") << "container sets 1; move 3 3" << "MouseMove(0,1,3,3) [1], timer on";
        QTest::newRow("container sets Button 0") << "container sets 0; move 3 3 1"
                                                 << "MouseMove(1,1,3,3) [3], timer on";

        const QString click = QStringLiteral("MouseDown(1,0,3,4) [1] MouseUp(1,0,3,4) Click [4]");
        QTest::newRow("click") << "State 1; move 3 4; press; release"
                               << "[4] MouseMove(0,1,3,4) [3] " + click + ", timer on";
        QTest::newRow("click on the label") << "State 1; press label; release label" << "[4] " + click + ", timer off";
        QTest::newRow("quick pair") << "State 1; press; release; double; release"
                                    << "[4] " + click + ' ' + click + ", timer off";
        QTest::newRow("quick pair on the label") << "State 1; press label; release label; double label; release label"
                                                 << "[4] " + click + ' ' + click + ", timer off";
        const QString rightClick = QStringLiteral("MouseDown(2,0,3,4) [1] MouseUp(2,0,3,4) [0], timer off");
        QTest::newRow("right click") << "press right; release right" << rightClick;
        QTest::newRow("right click on the label") << "press label right; release label right" << rightClick;

        // "key": the look while the key is down, then its release.
        const QString access = QStringLiteral(" [0] Click [0], timer off");
        QTest::newRow("Space") << "key Space; access" << "KeyDown(32,1) KeyPress(32) [0] KeyUp(32,1)" + access;
        QTest::newRow("Enter") << "key Enter; access" << "KeyDown(13,1) KeyPress(13) [0] KeyUp(13,1)" + access;
        QTest::newRow("A") << "key A; access" << "KeyDown(65,1) KeyPress(65) [0] KeyUp(65,1)" + access;
        QTest::newRow("F5") << "key F5; access" << "KeyDown(116,1) [0] KeyUp(116,1)" + access;

        // The timer stops before the one MouseOut per exit; the rest look follows it.
        const QString in = QStringLiteral("State 1; move 9 9; tick; ");
        const QString out = QStringLiteral("MouseMove(0,1,9,9) [3] [3] MouseOut(3,timer off) [4]");
        const QString stays = QStringLiteral("[4] MouseMove(0,1,9,9) [3] [3] [3], timer on");
        QTest::newRow("stays in at (0, 0)") << in + "pointer 0 0; tick" << stays;
        QTest::newRow("stays in at (W, H)") << in + "pointer 18 21; tick" << stays;
        QTest::newRow("leaves at (W + 1, 0) twice")
            << in + "pointer 19 0; tick; pointer 9 9; move 9 9; tick; pointer 19 0; tick"
            << "[4] " + out + ' ' + out + ", timer off";
        QTest::newRow("leaves at (0, H + 1)") << in + "pointer 0 22; tick" << "[4] " + out + ", timer off";
        QTest::newRow("leaves at (-1, 5)") << in + "pointer -1 5; tick" << "[4] " + out + ", timer off";
        QTest::newRow("leaves at (5, -1) while disabled")
            << in + "Enabled 0; pointer 5 -1; tick"
            << "[4] MouseMove(0,1,9,9) [3] [3] [2] MouseOut(2,timer off) [2], timer off";
    }

    void input()
    {
        QFETCH(QString, steps);
        QFETCH(QString, trace);
        auto button = makeButton();
        QTimer *Timer1 = button->findChild<QTimer *>("Timer1");
        QCOMPARE(Timer1->interval(), 10);
        QStringList log;
        record(button.get(), log);
        connect(button.get(), &xpcmdbutton::MouseOut, this, [&] {
            log << QStringLiteral("MouseOut(%1,timer %2)").arg(shownCell(*button))
                       .arg(Timer1->isActive() ? "on" : "off");
        });
        const auto cell = [&] { log << QStringLiteral("[%1]").arg(shownCell(*button)); };
        Label *lbl = labelOf(*button);
        const QSize labelBefore = lbl->size();
        FontRef assigned;
        const QHash<QString, std::pair<int, QString>> keys{
            {"Space", {Qt::Key_Space, " "}}, {"Enter", {Qt::Key_Return, "\r"}}, {"A", {Qt::Key_A, "A"}},
            {"F5", {Qt::Key_F5, ""}}};
        for (const QString &step : steps.split("; ")) {
            const QStringList w = step.split(' ');
            const int reads = pointerReads;
            if (w[0] == "State") {
                button->setState(w[1].toInt());
            } else if (w[0] == "Enabled") {
                button->setEnabled(w[1] == "1");
            } else if (w[0] == "Caption") {
                button->setCaption(step.section(' ', 1));
            } else if (w[0] == "lbl") {
                lbl->setCaption(step.section(' ', 1));
            } else if (w[0] == "Font") {
                button->setFont(assigned = makeFont(QStringLiteral("DejaVu Sans"), w[1].toDouble()));
            } else if (w[0] == "move") {
                qint16 b = w.value(3).toShort(), s = 1;
                float x = w[1].toFloat(), y = w[2].toFloat();
                button->UserControl_MouseMove(b, s, x, y);
            } else if (w[0] == "tick") {
                QTRY_VERIFY(pointerReads > reads);
            } else if (w[0] == "pointer") {
                pointer = QPoint(w[1].toInt(), w[2].toInt());
                continue;
            } else if (w[0] == "watch") { // the very font object assigned is shared with surface and label
                connect(button.get(), &UserControl::PropertyChanged, this, [&](const QString &key) {
                    const bool shared = assigned && button->Font() == assigned && button->surfaceFont() == assigned
                                        && lbl->Font() == assigned;
                    log << QStringLiteral("%1(%2,%3%4)").arg(key).arg(shownCell(*button))
                               .arg(captionColour(*button), shared ? ",shared" : "");
                });
                continue;
            } else if (w[0] == "container") { // a MouseMove handler that changes Button
                connect(button.get(), &UserControl::MouseMove, this,
                        [n = w[2].toShort()](qint16 &Button, qint16 &, float &, float &) { Button = n; });
                continue;
            } else if (w[0] == "press" || w[0] == "double" || w[0] == "release") {
                QWidget *target = w.contains("label") ? static_cast<QWidget *>(labelOf(*button)) : button.get();
                const Qt::MouseButton mouse = w.contains("right") ? Qt::RightButton : Qt::LeftButton;
                const QEvent::Type type = w[0] == "press"    ? QEvent::MouseButtonPress
                                          : w[0] == "double" ? QEvent::MouseButtonDblClick : QEvent::MouseButtonRelease;
                const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : mouse;
                QMouseEvent event(type, QPointF(3, 4), target->mapToGlobal(QPointF(3, 4)), mouse, held, {});
                QApplication::sendEvent(target, &event);
            } else if (w[0] == "key") {
                QKeyEvent press(QEvent::KeyPress, keys[w[1]].first, Qt::ShiftModifier, keys[w[1]].second);
                QKeyEvent release(QEvent::KeyRelease, keys[w[1]].first, Qt::ShiftModifier, keys[w[1]].second);
                QApplication::sendEvent(button.get(), &press);
                cell();
                QApplication::sendEvent(button.get(), &release);
            } else if (qint16 ascii = 'T'; w[0] == "access") {
                button->UserControl_AccessKeyPress(ascii);
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
            cell();
        }
        QCOMPARE(log.join(' ') + (Timer1->isActive() ? ", timer on" : ", timer off"), trace);
        QCOMPARE(captionColour(*button), button->Enabled() ? "#000000" : "#A1A192");
        // The label stays centred; a longer caption or bigger font grows it, so that
        // a notice before re-centring would show.
        QCOMPARE(QPointF(lbl->Left(), lbl->Top()),
                 QPointF((CellWidth - lbl->Width()) / 2, (CellHeight - lbl->Height()) / 2));
        QCOMPARE(lbl->size() != labelBefore, steps.contains(QRegularExpression("Caption|Font|lbl")));
    }
};

QTEST_MAIN(TestXpcmdbutton)
#include "tst_xpcmdbutton.moc"

