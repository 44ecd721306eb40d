// The Designer plugin: its widget box entries, the widgets it makes, and
// forms loaded at run time by QUiLoader through it.

#include "testsupport.h"
#include <Huvolo/colour.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <memory>

using namespace huvolo;

namespace {

QString describe(const FontRef &font)
{
    if (!font)
        return QStringLiteral("no font");
    return QStringLiteral("%1 %2 %3%4").arg(font->Name).arg(font->Size).arg(font->Weight).arg(font->Italic ? " italic" : "");
}

QString pixel(const UserControl *control, int x, int y)
{
    return QColor(control->image().pixel(x, y)).name();
}

// A loader that finds widgets through the plugin built here and no other.
std::unique_ptr<QUiLoader> pluginLoader()
{
    auto loader = std::make_unique<QUiLoader>();
    loader->clearPluginPaths();
    loader->addPluginPath(QFileInfo(QStringLiteral(HUVOLO_DESIGNER_PLUGIN)).absolutePath());
    return loader;
}

std::unique_ptr<QWidget> load(QUiLoader &loader, const QByteArray &ui, QWidget *parent = nullptr)
{
    QBuffer buffer;
    buffer.setData(ui);
    buffer.open(QIODevice::ReadOnly);
    return std::unique_ptr<QWidget>(loader.load(&buffer, parent));
}

} // namespace

class TestDesignerPlugin : public QObject
{
    Q_OBJECT

    QPluginLoader plugin{QStringLiteral(HUVOLO_DESIGNER_PLUGIN)};
    QDesignerCustomWidgetCollectionInterface *collection = nullptr;

    QDesignerCustomWidgetInterface *entry(const QString &className) const
    {
        for (QDesignerCustomWidgetInterface *widget : collection->customWidgets())
            if (widget->name() == className)
                return widget;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(plugin.load(), qPrintable(plugin.errorString()));
        collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(plugin.instance());
        QVERIFY(collection);
        QCOMPARE(collection->customWidgets().size(), 2);
    }

    void widgetBox_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("container");
        QTest::addColumn<QImage>("picture"); // the icon shows it centred, pixel for pixel
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QSize>("size");
        const QImage skin = embedded::buttonSkin.image();
        QTest::newRow("xpcmdbutton") << "huvolo::xpcmdbutton" << "<Huvolo/xpcmdbutton.h>" << false
                                     << skin.copy(0, 0, 18, 21) << QPoint(2, 0) << QSize(113, 59);
        QTest::newRow("xpgroupbox") << "huvolo::xpgroupbox" << "<Huvolo/xpgroupbox.h>" << true
                                    << embedded::groupBoxFrame.image() << QPoint(0, 1) << QSize(199, 89);
    }

    // Each control's entry: in the group "Huvolo", its installed header, its
    // own pixels as its icon, and a new instance that loads as a form.
    void widgetBox()
    {
        QFETCH(QString, className);
        QFETCH(QString, header);
        QFETCH(bool, container);
        QFETCH(QImage, picture);
        QFETCH(QPoint, at);
        QFETCH(QSize, size);
        QDesignerCustomWidgetInterface *widget = entry(className);
        QVERIFY(widget);
        QCOMPARE(widget->group(), QStringLiteral("Huvolo"));
        QCOMPARE(widget->includeFile(), header);
        QCOMPARE(widget->isContainer(), container);
        QVERIFY(!widget->toolTip().isEmpty() && !widget->whatsThis().isEmpty());

        QImage expected(22, 22, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                expected.setPixel(at.x() + x, at.y() + y, source.pixel(x, y));
        const QImage icon = widget->icon().pixmap(22, 22).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(icon, expected);

        // The entry is the form of a new instance: named as a first instance
        // is, captioned with its name, at its stored size.
        const QString name = className.section("::", -1) + '1';
        QWidget form;
        const auto loader = pluginLoader();
        const auto made = load(*loader, widget->domXml().toUtf8(), &form);
        QVERIFY2(made, qPrintable(loader->errorString()));
        QCOMPARE(made->metaObject()->className(), className.toLatin1());
        QCOMPARE(made->objectName(), name);
        QCOMPARE(made->property("Caption").toString(), name);
        QCOMPARE(made->size(), size);
        QVERIFY(made->property("Enabled").toBool());
    }

    // What Designer makes is placed as a new instance: captioned with the
    // name it will have, in its container's font. Its caption then follows
    // its name until the caption is its own.
    void createdWidgets_data()
    {
        QTest::addColumn<QString>("className");
        QTest::newRow("xpcmdbutton") << "huvolo::xpcmdbutton";
        QTest::newRow("xpgroupbox") << "huvolo::xpgroupbox";
    }

    void createdWidgets()
    {
        QFETCH(QString, className);
        QWidget form;
        form.setFont(QFont("DejaVu Serif", 11));
        QWidget *made = entry(className)->createWidget(&form);
        auto *control = qobject_cast<UserControl *>(made);
        QVERIFY(control);
        QCOMPARE(made->parentWidget(), &form);
        QCOMPARE(made->property("Caption").toString(), className.section("::", -1) + '1');
        QCOMPARE(describe(made->property("Font").value<FontRef>()), QStringLiteral("DejaVu Serif 11 400"));

        made->setObjectName("ctlRenamed");
        QCOMPARE(control->Ambient().DisplayName, QStringLiteral("ctlRenamed"));
        QCOMPARE(made->property("Caption").toString(), QStringLiteral("ctlRenamed"));
        made->setProperty("Caption", "Own");
        made->setObjectName("ctlAgain");
        QCOMPARE(made->property("Caption").toString(), QStringLiteral("Own"));
    }

    // A form loaded at run time: the controls come back as Huvolo's types
    // with the form's properties; one the form says nothing about is a new
    // instance named and captioned as the form names it, in its container's font.
    void loadsForms()
    {
        const auto loader = pluginLoader();
        QVERIFY(loader->availableWidgets().contains("huvolo::xpcmdbutton"));
        QVERIFY(loader->availableWidgets().contains("huvolo::xpgroupbox"));
        QFile file(sourceFile("tests/designer/loaded.ui"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        std::unique_ptr<QWidget> form(loader->load(&file));
        QVERIFY2(form, qPrintable(loader->errorString()));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        auto *group = form->findChild<xpgroupbox *>("grpSystem");
        QVERIFY(group);
        QCOMPARE(group->Caption(), QStringLiteral("System colours"));
        QCOMPARE(group->BackColor(), OLE_COLOR(0x8000000F));
        QCOMPARE(pixel(group, 100, 80), toQColor(0x8000000F).name());
        QCOMPARE(describe(group->Font()), QStringLiteral("DejaVu Sans 9 400"));

        auto *five = form->findChild<xpcmdbutton *>("cmdFive");
        QVERIFY(five);
        QCOMPARE(five->parentWidget(), group);
        QCOMPARE(five->State(), 5);
        QVERIFY(!five->Enabled());
        QCOMPARE(five->Caption(), QStringLiteral("Five"));
        QCOMPARE(describe(five->Font()), QStringLiteral("DejaVu Serif 12 400 italic"));
        QCOMPARE(pixel(five, 1, 1), QStringLiteral("#f5f4ea"));

        auto *named = form->findChild<xpcmdbutton *>("cmdNamed");
        QVERIFY(named);
        QCOMPARE(named->Caption(), QStringLiteral("cmdNamed"));
        QCOMPARE(named->State(), 0);
        QVERIFY(named->Enabled());
        QCOMPARE(describe(named->Font()), QStringLiteral("DejaVu Sans 9 400"));
        QCOMPARE(pixel(named, 1, 1), QStringLiteral("#557da2"));
    }

    // In a row beside a QPushButton, as a form lays it out: each control at
    // its designed width while there is room, never below the size that
    // shows its caption whole when the form is made as small as it goes.
    void inLayouts()
    {
        const auto loader = pluginLoader();
        QFile file(sourceFile("tests/designer/layout.ui"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        std::unique_ptr<QWidget> form(loader->load(&file));
        QVERIFY2(form, qPrintable(loader->errorString()));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QList<UserControl *> controls{form->findChild<xpcmdbutton *>("cmdApply"),
                                            form->findChild<xpgroupbox *>("grpOptions")};
        const QList<QSize> designed{QSize(113, 59), QSize(199, 89)};
        for (int i = 0; i < controls.size(); ++i) {
            QVERIFY(controls[i]);
            qInfo("%s in a row: %dx%d", controls[i]->metaObject()->className(), controls[i]->width(), controls[i]->height());
            // The row is as tall as its tallest control; the rest may grow to it.
            QCOMPARE(controls[i]->width(), designed[i].width());
            QVERIFY(controls[i]->height() >= designed[i].height());
        }

        form->resize(form->minimumSizeHint());
        QTRY_COMPARE(form->size(), form->minimumSizeHint());
        for (UserControl *control : controls) {
            const QRect caption = labelOf(*control)->geometry();
            QVERIFY2(control->rect().contains(caption),
                     qPrintable(QStringLiteral("%1 at %2x%3 cuts its caption at %4,%5 %6x%7")
                                    .arg(control->objectName())
                                    .arg(control->width()).arg(control->height())
                                    .arg(caption.x()).arg(caption.y()).arg(caption.width()).arg(caption.height())));
        }
    }

    // A value a control refuses, in a form: reported as a run-time error,
    // the control keeps what it had, and the form loads.
    void refusedValuesInForms_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("error");
        QTest::newRow("BackColor that is no colour")
            << QByteArray(R"(<property name="BackColor" stdset="0"><UInt>16777216</UInt></property>)")
            << "Run-time error '380': Invalid property value";
        QTest::newRow("font of 3000 points")
            << QByteArray(R"(<property name="font" stdset="0"><font><pointsize>3000</pointsize></font></property>)")
            << "Run-time error '380': Invalid property value: \"Font.Size\"";
    }

    void refusedValuesInForms()
    {
        QFETCH(QByteArray, property);
        QFETCH(QString, error);
        const auto loader = pluginLoader();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression('^' + QRegularExpression::escape(error)));
        const auto box = load(*loader, R"(<ui version="4.0"><widget class="huvolo::xpgroupbox" name="grpBad">)" + property
                                           + "</widget></ui>");
        QVERIFY2(box, qPrintable(loader->errorString()));
        auto *group = qobject_cast<xpgroupbox *>(box.get());
        QVERIFY(group);
        QCOMPARE(group->BackColor(), OLE_COLOR(0x0000FFFF));
        QVERIFY(sameFont(group->Font(), fontFromQFont(QApplication::font())));
    }
};

QTEST_MAIN(TestDesignerPlugin)
#include "tst_designerplugin.moc"
