#include "controlplugin.h"

#include "colourextensions.h"

#include <Huvolo/hosterror.h>
#include <Huvolo/placement.h>
#include <Huvolo/usercontrol.h>

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace huvolo {

namespace {

constexpr int IconSide = 22;

} // namespace

ControlPlugin::ControlPlugin(Description description)
    : m_description(std::move(description))
{
}

QString ControlPlugin::name() const
{
    return m_description.className;
}

QString ControlPlugin::group() const
{
    return QStringLiteral("Huvolo");
}

QString ControlPlugin::toolTip() const
{
    return m_description.toolTip;
}

QString ControlPlugin::whatsThis() const
{
    return m_description.whatsThis;
}

QString ControlPlugin::includeFile() const
{
    // In angle brackets: forms include the installed header as a system one.
    return QStringLiteral("<Huvolo/") + shortName() + QStringLiteral(".h>");
}

// The picture at its own size, centred on a square icon, so that no
// scaling blurs its pixels.
QIcon ControlPlugin::icon() const
{
    const QImage &picture = m_description.picture;
    QImage canvas(IconSide, IconSide, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawImage((IconSide - picture.width()) / 2, (IconSide - picture.height()) / 2, picture);
    painter.end();
    return QIcon(QPixmap::fromImage(canvas));
}

bool ControlPlugin::isContainer() const
{
    return m_description.container;
}

// Designer and form loaders make a widget with its constructor alone and
// name it only afterwards, so until it has a name it goes by the name of a
// first new instance. Its caption then follows its name for as long as the
// two are the same, as a new instance's caption is its name; a caption of
// its own stays. The ambient font is its container's, read afresh.
QWidget *ControlPlugin::createWidget(QWidget *parent)
{
    UserControl *control = m_description.create(parent);
    const QString fallbackName = newInstanceName();
    const auto ambient = [control, fallbackName] {
        const QWidget *container = control->parentWidget();
        return UserControl::AmbientProperties{
            control->objectName().isEmpty() ? fallbackName : control->objectName(),
            fontFromQFont(container ? container->font() : QApplication::font())};
    };
    place(control, StoredRect::fromPixels(QRect(QPoint(0, 0), m_description.size)), ambient, nullptr);
    QObject::connect(control, &QObject::objectNameChanged, control,
                     [control, previous = control->Ambient().DisplayName]() mutable {
                         hostGuard([&] {
                             const QString name = control->Ambient().DisplayName;
                             if (control->property("Caption").toString() == previous)
                                 control->setProperty("Caption", name);
                             previous = name;
                         });
                     });
    return control;
}

bool ControlPlugin::isInitialized() const
{
    return m_initialized;
}

void ControlPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (m_initialized)
        return;
    editColoursAsColours(core);
    m_initialized = true;
}

// A new instance in a form: its stored size and the properties a new
// instance sets, so that a form compiled by uic (which only constructs the
// control and then applies the form's properties) shows the control as
// Designer showed it.
QString ControlPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++" displayname="%1">
 <widget class="%2" name="%3">
  <property name="geometry"><rect><x>0</x><y>0</y><width>%4</width><height>%5</height></rect></property>
  <property name="Enabled"><bool>true</bool></property>
  <property name="Caption"><string>%3</string></property>
  %6
 </widget>
</ui>
)")
        .arg(shortName(), m_description.className, newInstanceName())
        .arg(m_description.size.width())
        .arg(m_description.size.height())
        .arg(m_description.newInstanceProperties);
}

QString ControlPlugin::newInstanceName() const
{
    return shortName() + QLatin1Char('1');
}

QString ControlPlugin::shortName() const
{
    return m_description.className.section(QStringLiteral("::"), -1);
}

} // namespace huvolo
