#include "buttonskin.h"
#include <Huvolo/hosterror.h>
#include "label.h"
#include <Huvolo/placement.h>
#include <Huvolo/propertybag.h>
#include "testsupport.h"
#include <Huvolo/xpcmdbutton.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
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

// One column (row) of skin pixels, or a span of them.
struct Span
{
    constexpr Span(int at) : first(at), last(at) {}
    constexpr Span(int from, int to) : first(from), last(to) {}
    int first;
    int last;
};

// The skin pixels the button must show, written out apart from the generator:
// one colour in each of the listed cells, across columns x and rows y.
struct SkinPixels
{
    const char *cells;
    Span x;
    Span y;
    QRgb colour;
};

constexpr SkinPixels givenPixels[] = {
    {"0134", {3, 14}, 0, 0x003C74}, {"0134", {3, 14}, 20, 0x003C74}, {"0134", 0, {3, 17}, 0x003C74},
    {"0134", 17, {3, 17}, 0x003C74}, {"0134", 0, 0, 0xDDD7C5}, {"0134", 1, 0, 0x65869F}, {"0134", 0, 1, 0x65869F},
    {"0134", 2, 0, 0x225583}, {"0134", 0, 2, 0x225583}, {"0134", 15, 0, 0x154C7D}, {"0134", 16, 0, 0x577C99},
    {"0134", 17, 0, 0xE1DCCA}, {"0134", 17, 1, 0x6586A0}, {"0134", 17, 2, 0x225583}, {"0134", 0, 18, 0x154C7D},
    {"0134", 0, 19, 0x567B99}, {"0134", 0, 20, 0xECEAD9}, {"0134", 1, 20, 0x6A8BA3}, {"0134", 2, 20, 0x225583},
    {"0134", 17, 18, 0x154C7D}, {"0134", 17, 19, 0x5E829E}, {"0134", 17, 20, 0xF9F8F2}, {"0134", 16, 20, 0x6184A0},
    {"0134", 15, 20, 0x154C7D},
    {"034", 8, 3, 0xFCFCFB}, {"034", 8, 4, 0xFAFAF9}, {"034", 8, 5, 0xF8F8F6}, {"034", 8, 6, 0xF6F6F3},
    {"034", 8, 7, 0xF6F6F2}, {"034", 8, 8, 0xF5F5F1}, {"034", 8, 9, 0xF4F4F0}, {"034", 8, 10, 0xF3F3EF},
    {"034", 8, 11, 0xF3F3EE}, {"034", 8, 12, 0xF2F2ED}, {"034", 8, 13, 0xF1F1ED}, {"034", 8, 14, 0xF1F1EC},
    {"034", 8, 15, 0xF0F0EB}, {"034", 8, 16, 0xF0F0EA}, {"034", 8, 17, 0xECEBE6},
    {"0", 8, 1, 0xFFFFFF}, {"0", 8, 2, 0xFEFEFE}, {"0", 8, 18, 0xE2DFD6}, {"0", 8, 19, 0xD6D0C5},
    {"0", 15, 10, 0xEEEDE7}, {"0", 16, 10, 0xE8E5DF}, {"0", 1, 1, 0x557DA2}, {"0", 16, 1, 0x557DA2},
    {"0", 1, 19, 0x4A7193}, {"0", 16, 19, 0x486E90},
    {"1", 8, 1, 0xD1CCC1}, {"1", 8, 2, 0xDCD8CF}, {"1", 8, 3, 0xE5E4DD}, {"1", 8, 4, 0xE6E6E0},
    {"1", 8, 5, 0xE5E4DE}, {"1", 8, 6, 0xE4E3DC}, {"1", 8, 7, 0xE4E3DC}, {"1", 8, 8, 0xE3E3DB},
    {"1", 8, 9, 0xE3E2DA}, {"1", 8, 10, 0xE2E1DA}, {"1", 8, 11, 0xE2E1D9}, {"1", 8, 12, 0xE2E1D9},
    {"1", 8, 13, 0xE1E0D9}, {"1", 8, 14, 0xE1E0D8}, {"1", 8, 15, 0xE0E0D7}, {"1", 8, 16, 0xE0E0D7},
    {"1", 8, 17, 0xE2E2DA}, {"1", 8, 18, 0xEAE9E3}, {"1", 8, 19, 0xF2F1EE}, {"1", 1, 3, 0xD8D4CB},
    {"1", 2, 3, 0xDDDAD1}, {"1", 1, 15, 0xD6D4C9}, {"1", 2, 15, 0xDBDAD0},
    {"2", {1, 16}, {1, 19}, 0xF5F4EA}, {"2", {3, 14}, 0, 0xC9C7BA}, {"2", {3, 14}, 20, 0xC9C7BA},
    {"2", 0, {3, 17}, 0xC9C7BA}, {"2", 17, {3, 17}, 0xC9C7BA}, {"2", 0, 0, 0xFFFFFF}, {"2", 17, 0, 0xFFFFFF},
    {"2", 0, 20, 0xFFFFFF}, {"2", 17, 20, 0xFFFFFF},
    {"3", 8, 1, 0xFFF0CF}, {"3", 8, 2, 0xFDD889}, {"3", {1, 2}, 3, 0xFEDF9A}, {"3", {15, 16}, 3, 0xFCD279},
    {"3", {1, 2}, 17, 0xF9B435}, {"3", {15, 16}, 17, 0xF8B535}, {"3", {2, 15}, 18, 0xF8B330},
    {"3", {2, 15}, 19, 0xE59700},
    {"4", 8, 1, 0xCEE7FF}, {"4", 8, 2, 0xBCD4F6}, {"4", {1, 2}, 3, 0xBAD3F5}, {"4", {15, 16}, 3, 0xBAD3F5},
    {"4", {1, 2}, 17, 0x89ADE4}, {"4", {15, 16}, 17, 0x89ADE4}, {"4", {1, 16}, 18, 0x89ADE4},
    {"4", {3, 15}, 19, 0x6982EE}, {"4", 2, 19, 0x4D7DC1}, {"4", 1, 1, 0x274D85}, {"4", 16, 1, 0x274D85},
    {"4", 1, 19, 0x274D85}, {"4", 16, 19, 0x274D85},
};

QString hex(QRgb colour)
{
    return QColor(colour).name().toUpper();
}

// What the button tests set, press and move.
enum class Property { State, Enabled };

struct Setting
{
    Property property;
    qint32 value;
};

// A move to `at` with the mouse buttons held (1 left, 2 right).
struct Move
{
    QPointF at;
    qint16 button = 0;
};

using Moves = QList<Move>;
using Change = std::function<void(xpcmdbutton &)>;

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

    // What a traced button did: its events with the arguments receivers saw,
    // MouseOut with the cell shown and whether the hover timer still ran, and
    // whatever else a test adds, such as the cell shown after each input.
    QStringList log;
    QSize labelSize; // the traced button's label as placed

    std::unique_ptr<xpcmdbutton> tracedButton()
    {
        auto button = makeButton();
        recordEvents(button.get(), log);
        connect(button.get(), &xpcmdbutton::MouseOut, this, [this, b = button.get()] {
            log << QStringLiteral("MouseOut(%1,timer %2)").arg(shownCell(*b))
                       .arg(hoverTimer(*b)->isActive() ? "on" : "off");
        });
        labelSize = labelOf(*button)->size();
        return button;
    }

    static QTimer *hoverTimer(const xpcmdbutton &button)
    {
        return button.findChild<QTimer *>(QStringLiteral("Timer1"));
    }

    void logCell(const xpcmdbutton &button)
    {
        log << QStringLiteral("[%1]").arg(shownCell(button));
    }

    // A move with Shift 1, as the button receives it, then the cell shown.
    void mouseMove(xpcmdbutton &button, const Move &to)
    {
        qint16 Button = to.button, Shift = 1;
        float x = float(to.at.x()), Y = float(to.at.y());
        button.UserControl_MouseMove(Button, Shift, x, Y);
        logCell(button);
    }

    // Whether the hover timer looked for the pointer once more.
    bool tick()
    {
        const int reads = pointerReads;
        return QTest::qWaitFor([&] { return pointerReads > reads; });
    }

    // The caption's colour follows Enabled, and the label stays centred; only
    // a longer caption or a bigger font grows it, so that a notice before
    // re-centring would show.
    void checkCaption(const xpcmdbutton &button, bool grown)
    {
        const Label *lbl = labelOf(button);
        QCOMPARE(captionColour(button), button.Enabled() ? "#000000" : "#A1A192");
        QCOMPARE(QPointF(lbl->Left(), lbl->Top()),
                 QPointF((CellWidth - lbl->Width()) / 2, (CellHeight - lbl->Height()) / 2));
        QCOMPARE(lbl->size() != labelSize, grown);
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
        log.clear();
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
        for (const auto &[cells, xs, ys, colour] : givenPixels)
            for (const char *cell = cells; *cell; ++cell)
                for (int y = ys.first; y <= ys.last; ++y)
                    for (int x = xs.first; x <= xs.last; ++x, ++checked)
                        if (const QString is = hex(embedded.pixel((*cell - '0') * CellWidth + x, y));
                            is != hex(colour))
                            wrong << QStringLiteral("cell %1 (%2, %3) %4").arg(*cell).arg(x).arg(y).arg(is);
        QCOMPARE(wrong, QStringList());
        QCOMPARE(checked, 818);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("cell"); // the look shown: 0 rest, 1 pressed, 2 disabled, 3 hover, 4 State 1
        QTest::addColumn<QRectF>("label"); // where a label of that size goes
        QTest::addColumn<QPoint>("placed"); // half pixels round to even
        struct Row
        {
            const char *name;
            QSize size;
            QRectF label;
            QPoint placed;
        };
        const Row rows[] = {
            {"TOGGLE 61x21", QSize(61, 21), QRectF(10.5, 5.5, 40, 10), QPoint(10, 6)},
            {"TOGGLE 61x21 other label", QSize(61, 21), QRectF(11.5, 5, 38, 11), QPoint(12, 5)},
            {"one cell 18x21", QSize(18, 21), QRectF(-3.5, -4.5, 25, 30), QPoint(-4, -4)},
            {"6 wide", QSize(6, 21), QRectF(0.5, 0.5, 5, 20), QPoint(0, 0)},
            {"stretched 113x59", QSize(113, 59), QRectF(50, 20, 13, 19), QPoint(50, 20)},
            {"narrow and tall 11x30", QSize(11, 30), QRectF(1.5, 11.5, 8, 7), QPoint(2, 12)},
            {"flat 40x6", QSize(40, 6), QRectF(2.5, 2, 35, 2), QPoint(2, 2)},
        };
        // Every look, since each has its own edges and corners.
        for (const Row &row : rows)
            for (int cell = 0; cell < CellCount; ++cell)
                QTest::addRow("%s cell %d", row.name, cell) << row.size << cell << row.label << row.placed;
    }

    // The surface shows the cell as a nine-slice: corners as they are, edges
    // stretched one way only, the centre both ways, each pixel the source
    // pixel under its centre. The label is centred.
    void layout()
    {
        QFETCH(QSize, size);
        QFETCH(int, cell);
        QFETCH(QRectF, label);
        QFETCH(QPoint, placed);
        auto button = makeButton(size.width(), size.height());
        qint16 Button = 1, Shift = 0;
        float x = 0, Y = 0;
        switch (cell) {
        case 1: button->UserControl_MouseDown(Button, Shift, x, Y); break;
        case 2: button->setEnabled(false); break;
        case 3: Button = 0; button->UserControl_MouseMove(Button, Shift, x, Y); break;
        case 4: button->setState(1); break;
        }
        const QImage source = skinCell(cell);
        const QImage shown = button->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), size);
        if (size == QSize(CellWidth, CellHeight))
            QCOMPARE(shown, source);

        // The source column (row) a surface column (row) shows: a corner's
        // own, or across a stretched edge the one under the pixel's centre
        // (the lower one on a line between two).
        const auto sourceAt = [](int at, int size, int cellSize) {
            if (at < 3)
                return at;
            if (at >= size - 3)
                return at - size + cellSize;
            const int from = size - 6, to = cellSize - 6;
            return 3 + ((2 * (at - 3) + 1) * to - 1) / (2 * from);
        };
        QStringList wrong;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QPoint from(sourceAt(x, size.width(), CellWidth), sourceAt(y, size.height(), CellHeight));
                if (shown.pixel(x, y) != source.pixel(from))
                    wrong << QStringLiteral("(%1, %2) %3, not (%4, %5) %6").arg(x).arg(y).arg(hex(shown.pixel(x, y)))
                                 .arg(from.x()).arg(from.y()).arg(hex(source.pixel(from)));
            }
        }
        QCOMPARE(wrong, QStringList());

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

    // The input tests below compare a traced button's log with a trace: the
    // cell shown before the inputs ("[4]"), then the events raised and the
    // cell shown after each input, in the order they came.

    // State and Enabled alone: the cell shown after each assignment. A State
    // other than 0 and 1 keeps the rest look of the last one that was.
    void stateAndEnabled_data()
    {
        using enum Property;
        QTest::addColumn<QList<Setting>>("settings");
        QTest::addColumn<QList<int>>("cells");
        QTest::newRow("State 1") << QList<Setting>{{State, 1}} << QList<int>{4};
        QTest::newRow("State 1, 0") << QList<Setting>{{State, 1}, {State, 0}} << QList<int>{4, 0};
        QTest::newRow("State 5 and -1 after 1") << QList<Setting>{{State, 1}, {State, 5}, {State, -1}}
                                                << QList<int>{4, 4, 4};
        QTest::newRow("State 5 on a new button") << QList<Setting>{{State, 5}} << QList<int>{0};
        QTest::newRow("disabled") << QList<Setting>{{Enabled, 0}} << QList<int>{2};
        QTest::newRow("State 1 while disabled, enabled") << QList<Setting>{{Enabled, 0}, {State, 1}, {Enabled, 1}}
                                                         << QList<int>{2, 2, 4};
        QTest::newRow("State 1, disabled, State 7, enabled")
            << QList<Setting>{{State, 1}, {Enabled, 0}, {State, 7}, {Enabled, 1}} << QList<int>{4, 2, 2, 4};
    }

    void stateAndEnabled()
    {
        QFETCH(QList<Setting>, settings);
        QFETCH(QList<int>, cells);
        auto button = tracedButton();
        QList<int> shown;
        for (const auto &[property, value] : settings) {
            if (property == Property::State)
                button->setState(value);
            else
                button->setEnabled(value != 0);
            shown << shownCell(*button);
        }
        QCOMPARE(shown, cells);
        QCOMPARE(log, QStringList()); // no events
        QVERIFY(!hoverTimer(*button)->isActive());
        checkCaption(*button, false);
    }

    // Setters notify, then redraw; Caption and Font re-centre and redraw first.
    // The hover look comes first, so that every redraw of the rest look shows.
    // The trace logs each notice with the cell and caption colour at that
    // moment, and ",shared" where the button, its surface and its label then
    // hold the very font object assigned.
    void notices_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<FontRef>("assigned");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<bool>("labelGrows");
        const QStringList hovered{"[0]", "MouseMove(0,1,4,4)", "[3]"};
        const FontRef font = makeFont(QStringLiteral("DejaVu Sans"), 20);
        QTest::newRow("set State") << Change([](xpcmdbutton &b) { b.setState(1); }) << FontRef()
                                   << hovered + QStringList{"State(3,#000000)", "[4]"} << false;
        QTest::newRow("set Enabled") << Change([](xpcmdbutton &b) { b.setEnabled(false); }) << FontRef()
                                     << hovered + QStringList{"Enabled(3,#000000)", "[2]"} << false;
        QTest::newRow("set Caption") << Change([](xpcmdbutton &b) { b.setCaption("A longer caption"); }) << FontRef()
                                     << hovered + QStringList{"Caption(0,#000000)", "[0]"} << true;
        QTest::newRow("set Font") << Change([font](xpcmdbutton &b) { b.setFont(font); }) << font
                                  << hovered + QStringList{"Font(0,#000000,shared)", "[0]"} << true;
        QTest::newRow("set lbl's caption")
            << Change([](xpcmdbutton &b) { labelOf(b)->setCaption("Another long caption"); }) << FontRef()
            << hovered + QStringList{"[0]"} << true;
    }

    void notices()
    {
        QFETCH(Change, change);
        QFETCH(FontRef, assigned);
        QFETCH(QStringList, trace);
        QFETCH(bool, labelGrows);
        auto button = tracedButton();
        logCell(*button);
        mouseMove(*button, {QPointF(4, 4)});
        connect(button.get(), &UserControl::PropertyChanged, this, [&](const QString &key) {
            const bool shared = assigned && button->Font() == assigned && button->surfaceFont() == assigned
                                && labelOf(*button)->Font() == assigned;
            log << QStringLiteral("%1(%2,%3%4)").arg(key).arg(shownCell(*button))
                               .arg(captionColour(*button), shared ? ",shared" : "");
        });
        change(*button);
        logCell(*button);
        QCOMPARE(log, trace);
        QVERIFY(hoverTimer(*button)->isActive());
        checkCaption(*button, labelGrows);
    }

    // Moves carry Shift 1 and start the hover timer. Within the button, edges
    // included, a move raises MouseMove and shows pressed while Button is 1
    // (left only), else the hover look; beyond it, nothing. The trace shows the
    // cell after each move; a container's MouseMove handler may change Button.
    void moves_data()
    {
        QTest::addColumn<qint32>("state");
        QTest::addColumn<Moves>("moves");
        QTest::addColumn<int>("handlerSets"); // what the container sets Button to; -1: it has no handler
        QTest::addColumn<QStringList>("trace");
        QTest::newRow("move to (0, 0)") << 1 << Moves{{QPointF(0, 0)}} << -1
                                        << QStringList{"[4]", "MouseMove(0,1,0,0)", "[3]"};
        QTest::newRow("move to (W, H)") << 1 << Moves{{QPointF(18, 21)}} << -1
                                        << QStringList{"[4]", "MouseMove(0,1,18,21)", "[3]"};
        QTest::newRow("move, left button") << 1 << Moves{{QPointF(9, 10), 1}} << -1
                                           << QStringList{"[4]", "MouseMove(1,1,9,10)", "[1]"};
        QTest::newRow("move, right button") << 0 << Moves{{QPointF(9, 10), 2}} << -1
                                            << QStringList{"[0]", "MouseMove(2,1,9,10)", "[3]"};
        QTest::newRow("move, left and right") << 0 << Moves{{QPointF(9, 10), 3}} << -1
                                              << QStringList{"[0]", "MouseMove(3,1,9,10)", "[3]"};
        QTest::newRow("move to (-1, 0)") << 1 << Moves{{QPointF(-1, 0)}} << -1 << QStringList{"[4]", "[4]"};
        QTest::newRow("move to (-1, 0) after hover") << 0 << Moves{{QPointF(9, 10)}, {QPointF(-1, 0)}} << -1
                                                     << QStringList{"[0]", "MouseMove(0,1,9,10)", "[3]", "[3]"};
        QTest::newRow("move to (W + 1, 0), left") << 1 << Moves{{QPointF(19, 0), 1}} << -1
                                                  << QStringList{"[4]", "[4]"};
        QTest::newRow("move to (0, H + 0.5)") << 0 << Moves{{QPointF(9, 10), 1}, {QPointF(0, 21.5)}} << -1
                                              << QStringList{"[0]", "MouseMove(1,1,9,10)", "[1]", "[1]"};
        QTest::newRow("container sets Button 1") << 0 << Moves{{QPointF(3, 3)}} << 1
                                                 << QStringList{"[0]", "MouseMove(0,1,3,3)", "[1]"};
        QTest::newRow("container sets Button 0") << 0 << Moves{{QPointF(3, 3), 1}} << 0
                                                 << QStringList{"[0]", "MouseMove(1,1,3,3)", "[3]"};
    }

    void moves()
    {
        QFETCH(qint32, state);
        QFETCH(Moves, moves);
        QFETCH(int, handlerSets);
        QFETCH(QStringList, trace);
        auto button = tracedButton();
        if (handlerSets >= 0) // connected after the trace, so the trace shows what the button passed
            connect(button.get(), &UserControl::MouseMove, this,
                    [handlerSets](qint16 &Button, qint16 &, float &, float &) { Button = qint16(handlerSets); });
        button->setState(state);
        logCell(*button);
        for (const Move &m : moves)
            mouseMove(*button, m);
        QCOMPARE(log, trace);
        QVERIFY(hoverTimer(*button)->isActive());
        checkCaption(*button, false);
    }

    // Presses and releases at (3, 4) of the button or its caption: a press
    // shows pressed, a release the rest look, and a left one clicks, the
    // second of a quick pair (a double click) too.
    void clicks_data()
    {
        QTest::addColumn<qint32>("state");
        QTest::addColumn<bool>("hovered"); // the pointer first moves to (3, 4)
        QTest::addColumn<Target>("target");
        QTest::addColumn<Qt::MouseButton>("mouse");
        QTest::addColumn<bool>("pair"); // a second click follows, its press a double click
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<bool>("timerRuns");
        const QStringList click{"MouseDown(1,0,3,4)", "[1]", "MouseUp(1,0,3,4)", "Click", "[4]"};
        const QStringList rightClick{"[0]", "MouseDown(2,0,3,4)", "[1]", "MouseUp(2,0,3,4)", "[0]"};
        QTest::newRow("click") << 1 << true << Target::Surface << Qt::LeftButton << false
                               << QStringList{"[4]", "MouseMove(0,1,3,4)", "[3]"} + click << true;
        QTest::newRow("click on the label") << 1 << false << Target::Caption << Qt::LeftButton << false
                                            << QStringList{"[4]"} + click << false;
        QTest::newRow("quick pair") << 1 << false << Target::Surface << Qt::LeftButton << true
                                    << QStringList{"[4]"} + click + click << false;
        QTest::newRow("quick pair on the label") << 1 << false << Target::Caption << Qt::LeftButton << true
                                                 << QStringList{"[4]"} + click + click << false;
        QTest::newRow("right click") << 0 << false << Target::Surface << Qt::RightButton << false << rightClick << false;
        QTest::newRow("right click on the label") << 0 << false << Target::Caption << Qt::RightButton << false
                                                  << rightClick << false;
    }

    void clicks()
    {
        QFETCH(qint32, state);
        QFETCH(bool, hovered);
        QFETCH(Target, target);
        QFETCH(Qt::MouseButton, mouse);
        QFETCH(bool, pair);
        QFETCH(QStringList, trace);
        QFETCH(bool, timerRuns);
        auto button = tracedButton();
        button->setState(state);
        logCell(*button);
        if (hovered)
            mouseMove(*button, {QPointF(3, 4)});
        QWidget *widget = widgetOf(button.get(), target);
        for (const QEvent::Type press : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
            sendMouse(widget, press, QPoint(3, 4), mouse);
            logCell(*button);
            sendMouse(widget, QEvent::MouseButtonRelease, QPoint(3, 4), mouse);
            logCell(*button);
            if (!pair)
                break;
        }
        QCOMPARE(log, trace);
        QCOMPARE(hoverTimer(*button)->isActive(), timerRuns);
        checkCaption(*button, false);
    }

    // Keys, with Shift, raise KeyDown, KeyPress when they type a character,
    // and KeyUp, and leave the look; the access key then still clicks.
    void keys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("trace"); // the cell while the key is down, then after its release
        const QStringList access{"[0]", "Click", "[0]"};
        QTest::newRow("Space") << Qt::Key_Space << " "
                               << QStringList{"[0]", "KeyDown(32,1)", "KeyPress(32)", "[0]", "KeyUp(32,1)"} + access;
        QTest::newRow("Enter") << Qt::Key_Return << "\r"
                               << QStringList{"[0]", "KeyDown(13,1)", "KeyPress(13)", "[0]", "KeyUp(13,1)"} + access;
        QTest::newRow("A") << Qt::Key_A << "A"
                           << QStringList{"[0]", "KeyDown(65,1)", "KeyPress(65)", "[0]", "KeyUp(65,1)"} + access;
        QTest::newRow("F5") << Qt::Key_F5 << "" << QStringList{"[0]", "KeyDown(116,1)", "[0]", "KeyUp(116,1)"} + access;
    }

    void keys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(QString, text);
        QFETCH(QStringList, trace);
        auto button = tracedButton();
        logCell(*button);
        QKeyEvent press(QEvent::KeyPress, key, Qt::ShiftModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::ShiftModifier, text);
        QApplication::sendEvent(button.get(), &press);
        logCell(*button);
        QApplication::sendEvent(button.get(), &release);
        logCell(*button);
        qint16 ascii = 'T';
        button->UserControl_AccessKeyPress(ascii);
        logCell(*button);
        QCOMPARE(log, trace);
        QVERIFY(!hoverTimer(*button)->isActive());
        checkCaption(*button, false);
    }

    // Assistive technology presses the button as its access key does: one
    // Click, no mouse events, the look unchanged. A disabled button takes no
    // access key and offers no Press.
    void pressAction_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("trace"); // the cell before and after each of two presses
        const QString press = QAccessibleActionInterface::pressAction();
        const QString focus = QAccessibleActionInterface::setFocusAction();
        QTest::newRow("at rest") << true << false << QStringList{press, focus}
                                 << QStringList{"[0]", "Click", "[0]", "Click", "[0]"};
        QTest::newRow("hovered") << true << true << QStringList{press, focus}
                                 << QStringList{"[3]", "Click", "[3]", "Click", "[3]"};
        QTest::newRow("disabled") << false << false << QStringList{} << QStringList{"[2]", "[2]", "[2]"};
    }

    void pressAction()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, hovered);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, trace);
        auto button = tracedButton();
        button->setEnabled(enabled);
        if (hovered)
            mouseMove(*button, {QPointF(3, 4)});
        log.clear();
        QAccessibleActionInterface *action = QAccessible::queryAccessibleInterface(button.get())->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), actions);
        logCell(*button);
        for (int i = 0; i < 2; ++i) {
            action->doAction(QAccessibleActionInterface::pressAction());
            logCell(*button);
        }
        QCOMPARE(log, trace);
        checkCaption(*button, false);
    }

    // With State 1 the pointer comes in at (9, 9); the hover timer finds it
    // there once, then at `at`. While the pointer is inside, edges
    // included, nothing changes; once it is outside the timer stops before the
    // one MouseOut, and the rest look follows.
    void hoverAndLeave_data()
    {
        QTest::addColumn<QPoint>("at"); // where the timer then finds the pointer
        QTest::addColumn<bool>("disable"); // Enabled goes off while hovered
        QTest::addColumn<int>("visits"); // how often the pointer comes in and goes there
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<bool>("timerRuns");
        const QStringList in{"MouseMove(0,1,9,9)", "[3]", "[3]"};
        const QStringList out{"MouseOut(3,timer off)", "[4]"};
        const QStringList start{"[4]"};
        QTest::newRow("stays in at (0, 0)") << QPoint(0, 0) << false << 1 << start + in + QStringList{"[3]"} << true;
        QTest::newRow("stays in at (W, H)") << QPoint(18, 21) << false << 1 << start + in + QStringList{"[3]"} << true;
        QTest::newRow("leaves at (W + 1, 0) twice") << QPoint(19, 0) << false << 2 << start + in + out + in + out
                                                    << false;
        QTest::newRow("leaves at (0, H + 1)") << QPoint(0, 22) << false << 1 << start + in + out << false;
        QTest::newRow("leaves at (-1, 5)") << QPoint(-1, 5) << false << 1 << start + in + out << false;
        QTest::newRow("leaves at (5, -1) while disabled")
            << QPoint(5, -1) << true << 1 << start + in + QStringList{"[2]", "MouseOut(2,timer off)", "[2]"} << false;
    }

    void hoverAndLeave()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, disable);
        QFETCH(int, visits);
        QFETCH(QStringList, trace);
        QFETCH(bool, timerRuns);
        auto button = tracedButton();
        QCOMPARE(hoverTimer(*button)->interval(), 10);
        button->setState(1);
        logCell(*button);
        for (int visit = 0; visit < visits; ++visit) {
            pointer = QPoint(9, 9);
            mouseMove(*button, {QPointF(9, 9)});
            QVERIFY(tick());
            logCell(*button);
            if (disable) {
                button->setEnabled(false);
                logCell(*button);
            }
            pointer = at;
            QVERIFY(tick());
            logCell(*button);
        }
        QCOMPARE(log, trace);
        QCOMPARE(hoverTimer(*button)->isActive(), timerRuns);
        checkCaption(*button, false);
    }
};

QTEST_MAIN(TestXpcmdbutton)
#include "tst_xpcmdbutton.moc"

