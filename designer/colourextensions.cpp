#include "colourextensions.h"

#include "colourdialog.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/usercontrol.h>

#include <QAction>
#include <QMetaProperty>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QExtensionManager>

namespace huvolo {

QStringList colourProperties(const QMetaObject *metaObject)
{
    QStringList names;
    if (!metaObject->inherits(&UserControl::staticMetaObject))
        return names;
    for (int index = QWidget::staticMetaObject.propertyCount(); index < metaObject->propertyCount(); ++index) {
        const QMetaProperty property = metaObject->property(index);
        const QString name = QString::fromLatin1(property.name());
        if (property.metaType().id() == QMetaType::UInt && property.isDesignable() && property.isWritable()
            && name.endsWith(QStringLiteral("Color")))
            names << name;
    }
    return names;
}

ColourTaskMenu::ColourTaskMenu(QWidget *control, const QStringList &properties, QObject *parent)
    : QObject(parent)
    , m_control(control)
{
    for (const QString &property : properties) {
        auto *action = new QAction(QStringLiteral("Change ") + colourPropertyTitle(property) + QStringLiteral("…"), this);
        connect(action, &QAction::triggered, this, [this, property] { hostGuard([&] { change(property); }); });
        m_actions << action;
    }
}

QAction *ColourTaskMenu::preferredEditAction() const
{
    return m_actions.value(0);
}

QList<QAction *> ColourTaskMenu::taskActions() const
{
    return m_actions;
}

void ColourTaskMenu::change(const QString &property)
{
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(m_control);
    if (!form)
        return;
    const OLE_COLOR current = m_control->property(property.toLatin1()).toUInt();
    ColourDialog dialog(property, current, form);
    if (dialog.exec() != QDialog::Accepted || dialog.colour() == current)
        return;
    form->cursor()->setWidgetProperty(m_control, property, QVariant::fromValue(quint32(dialog.colour())));
}

ColourPropertySheet::ColourPropertySheet(QDesignerPropertySheetExtension *sheet, const QStringList &properties,
                                         QObject *parent)
    : QObject(parent)
    , m_sheet(sheet)
{
    for (const QString &property : properties)
        m_colourIndexes << sheet->indexOf(property);
}

int ColourPropertySheet::count() const
{
    return m_sheet->count();
}

int ColourPropertySheet::indexOf(const QString &name) const
{
    return m_sheet->indexOf(name);
}

QString ColourPropertySheet::propertyName(int index) const
{
    return m_sheet->propertyName(index);
}

QString ColourPropertySheet::propertyGroup(int index) const
{
    return m_sheet->propertyGroup(index);
}

void ColourPropertySheet::setPropertyGroup(int index, const QString &group)
{
    m_sheet->setPropertyGroup(index, group);
}

bool ColourPropertySheet::hasReset(int index) const
{
    return m_sheet->hasReset(index);
}

bool ColourPropertySheet::reset(int index)
{
    return m_sheet->reset(index);
}

bool ColourPropertySheet::isVisible(int index) const
{
    return !m_colourIndexes.contains(index) && m_sheet->isVisible(index);
}

void ColourPropertySheet::setVisible(int index, bool visible)
{
    m_sheet->setVisible(index, visible);
}

bool ColourPropertySheet::isAttribute(int index) const
{
    return m_sheet->isAttribute(index);
}

void ColourPropertySheet::setAttribute(int index, bool attribute)
{
    m_sheet->setAttribute(index, attribute);
}

QVariant ColourPropertySheet::property(int index) const
{
    return m_sheet->property(index);
}

void ColourPropertySheet::setProperty(int index, const QVariant &value)
{
    m_sheet->setProperty(index, value);
}

bool ColourPropertySheet::isChanged(int index) const
{
    return m_sheet->isChanged(index);
}

void ColourPropertySheet::setChanged(int index, bool changed)
{
    m_sheet->setChanged(index, changed);
}

bool ColourPropertySheet::isEnabled(int index) const
{
    return m_sheet->isEnabled(index);
}

ColourExtensionFactory::ColourExtensionFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

QObject *ColourExtensionFactory::createExtension(QObject *object, const QString &iid, QObject *parent) const
{
    if (m_findingSheet || !object->isWidgetType())
        return nullptr;
    const QStringList properties = colourProperties(object->metaObject());
    if (properties.isEmpty())
        return nullptr;
    if (iid == QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)))
        return new ColourTaskMenu(static_cast<QWidget *>(object), properties, parent);
    if (iid == QLatin1String(Q_TYPEID(QDesignerPropertySheetExtension))) {
        m_findingSheet = true;
        auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(extensionManager(), object);
        m_findingSheet = false;
        return sheet ? new ColourPropertySheet(sheet, properties, parent) : nullptr;
    }
    return nullptr;
}

void editColoursAsColours(QDesignerFormEditorInterface *core)
{
    // Both controls' entries are initialised; one factory serves them.
    if (!core || core->extensionManager()->findChild<ColourExtensionFactory *>())
        return;
    QExtensionManager *manager = core->extensionManager();
    auto *factory = new ColourExtensionFactory(manager);
    manager->registerExtensions(factory, Q_TYPEID(QDesignerTaskMenuExtension));
    manager->registerExtensions(factory, Q_TYPEID(QDesignerPropertySheetExtension));
}

} // namespace huvolo
