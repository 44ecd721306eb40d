// A form drawn in Designer and compiled by uic: its code constructs each
// control and then applies the form's properties through the controls'
// setters and the property system.

#include "ui_form.h"

#include <Huvolo/stdfont.h>

#include <QTest>

using namespace huvolo;

namespace {

// The colour of a surface pixel as "#rrggbb".
QString pixel(const UserControl *control, int x, int y)
{
    return QColor(control->image().pixel(x, y)).name();
}

QString describe(const FontRef &font)
{
    if (!font)
        return QStringLiteral("no font");
    return QStringLiteral("%1 %2 %3%4").arg(font->Name).arg(font->Size).arg(font->Weight).arg(font->Italic ? " italic" : "");
}

} // namespace

class TestDesignerForm : public QObject
{
    Q_OBJECT

private slots:
    void propertiesFromTheForm_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("corner"); // the surface pixel (1, 1): the look at rest
        QTest::newRow("State 1, own font") << "cmdOK" << "OK" << 1 << true << "DejaVu Serif 10 700" << "#274d85";
        QTest::newRow("disabled") << "cmdOff" << "Off" << 0 << false << "no font" << "#f5f4ea";
        // A control the form gives no properties keeps what its constructor
        // made: the stored caption, no font object, the form's font on screen.
        QTest::newRow("no properties") << "cmdBare" << "xpcmdbutton" << 0 << true << "no font" << "#557da2";
    }

    void propertiesFromTheForm()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        QFETCH(QString, font);
        QFETCH(QString, corner);
        QWidget form;
        Ui::ControlsForm ui;
        ui.setupUi(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto *button = form.findChild<xpcmdbutton *>(name);
        QVERIFY(button);
        QCOMPARE(button->Caption(), caption);
        QCOMPARE(button->State(), state);
        QCOMPARE(button->Enabled(), enabled);
        QCOMPARE(describe(button->Font()), font);
        QCOMPARE(pixel(button, 1, 1), corner);
        // Whatever it holds, the font property shows the font on screen.
        const QFont shown = button->property("font").value<QFont>();
        QCOMPARE(shown.family(), button->Font() ? button->Font()->Name : QStringLiteral("DejaVu Sans"));
    }

    void groupBoxFromTheForm()
    {
        QWidget form;
        Ui::ControlsForm ui;
        ui.setupUi(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(ui.grpLooks->Caption(), QStringLiteral("Looks"));
        QCOMPARE(ui.grpLooks->BackColor(), OLE_COLOR(0x00FFFFFF));
        QVERIFY(ui.grpLooks->Enabled());
        QCOMPARE(pixel(ui.grpLooks, 100, 80), QStringLiteral("#ffffff"));
        QCOMPARE(pixel(ui.grpLooks, 0, 50), QStringLiteral("#d0d0bf"));
        QCOMPARE(ui.cmdOK->parentWidget(), ui.grpLooks);
    }
};

QTEST_MAIN(TestDesignerForm)
#include "tst_designerform.moc"
