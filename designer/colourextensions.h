#pragma once

#include <QObject>
#include <QStringList>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QAction;
class QDesignerFormEditorInterface;
struct QMetaObject;

namespace huvolo {

// The colour properties of a control: the designable unsigned properties
// its own classes declare whose names end in "Color". They hold packed
// colours, 0x00BBGGRR, or system colours, 0x800000nn.
QStringList colourProperties(const QMetaObject *metaObject);

// One "Change ... Colour…" entry per colour property in the control's
// context menu, the first one also on a double click. Each opens a
// ColourDialog and sets the chosen packed value through the form window's
// cursor, as one step on the form's undo stack.
class ColourTaskMenu : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    ColourTaskMenu(QWidget *control, const QStringList &properties, QObject *parent);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

private:
    void change(const QString &property);

    QWidget *m_control;
    QList<QAction *> m_actions;
};

// Designer's own property sheet of a control, with the colour properties
// kept out of the property editor: it would show them as plain numbers and
// apply each keystroke as a colour of its own. They are still read from and
// written to forms through this sheet, as the packed values they hold.
class ColourPropertySheet : public QObject, public QDesignerPropertySheetExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerPropertySheetExtension)

public:
    ColourPropertySheet(QDesignerPropertySheetExtension *sheet, const QStringList &properties, QObject *parent);

    int count() const override;
    int indexOf(const QString &name) const override;
    QString propertyName(int index) const override;
    QString propertyGroup(int index) const override;
    void setPropertyGroup(int index, const QString &group) override;
    bool hasReset(int index) const override;
    bool reset(int index) override;
    bool isVisible(int index) const override;
    void setVisible(int index, bool visible) override;
    bool isAttribute(int index) const override;
    void setAttribute(int index, bool attribute) override;
    QVariant property(int index) const override;
    void setProperty(int index, const QVariant &value) override;
    bool isChanged(int index) const override;
    void setChanged(int index, bool changed) override;
    bool isEnabled(int index) const override;

private:
    QDesignerPropertySheetExtension *m_sheet;
    QList<int> m_colourIndexes;
};

// Makes the task menu and the property sheet above for each control with
// colour properties.
class ColourExtensionFactory : public QExtensionFactory
{
    Q_OBJECT

public:
    explicit ColourExtensionFactory(QExtensionManager *parent);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;

private:
    // Set while Designer's own property sheet is looked up, which asks
    // this factory too.
    mutable bool m_findingSheet = false;
};

// Makes Designer edit colour properties as colours.
void editColoursAsColours(QDesignerFormEditorInterface *core);

} // namespace huvolo
