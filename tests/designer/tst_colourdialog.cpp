// How Designer edits the controls' colour properties: which properties are
// colours, how a packed value reads, and what the colour dialog chooses.

#include "colourdialog.h"
#include "colourextensions.h"
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QListWidget>
#include <QTest>

using namespace huvolo;

class TestColourDialog : public QObject
{
    Q_OBJECT

private slots:
    void colourPropertiesAreFound()
    {
        QCOMPARE(colourProperties(&xpgroupbox::staticMetaObject), QStringList{QStringLiteral("BackColor")});
        QCOMPARE(colourProperties(&xpcmdbutton::staticMetaObject), QStringList());
        QCOMPARE(colourPropertyTitle(QStringLiteral("BackColor")), QStringLiteral("Back Colour"));
    }

    // The packed value lists red first from the low byte; a system colour
    // reads as its name, whatever the palette makes of it.
    void opens_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::newRow("red") << 0x000000FFu << "#FF0000" << "";
        QTest::newRow("blue") << 0x00FF0000u << "#0000FF" << "";
        QTest::newRow("white") << 0x00FFFFFFu << "#FFFFFF" << "";
        QTest::newRow("window background") << 0x80000005u << "Window background" << "Window background";
        QTest::newRow("button highlight") << 0x80000014u << "Button highlight" << "Button highlight";
    }
    void opens()
    {
        QFETCH(quint32, colour);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        QCOMPARE(colourText(colour), text);

        // Shown and focused, the dialog still holds the colour it was given.
        ColourDialog dialog(QStringLiteral("BackColor"), colour);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = dialog.findChild<QListWidget *>();
        QVERIFY(list);
        list->setFocus();
        QCOMPARE(dialog.colour(), colour);
        const QList<QListWidgetItem *> items = list->selectedItems();
        QCOMPARE(items.isEmpty() ? QString() : items.first()->text(), selected);

        // Choosing a system colour chooses its packed value.
        list->setCurrentRow(4);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Button face"));
        QCOMPARE(dialog.colour(), 0x8000000Fu);
    }
};

QTEST_MAIN(TestColourDialog)
#include "tst_colourdialog.moc"
