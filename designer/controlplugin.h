#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

namespace huvolo {

class UserControl;

// One of Huvolo's controls as Qt Designer and form loaders see it: an entry
// in the widget box's "Huvolo" group, and a factory that places each widget
// it makes as a new instance, so it shows its caption and font at once.
class ControlPlugin : public QDesignerCustomWidgetInterface
{
public:
    struct Description
    {
        QString className; // as forms name it, "huvolo::xpcmdbutton"
        QSize size;        // of a new instance
        bool container = false;
        QString toolTip;
        QString whatsThis;
        QImage picture; // the icon, drawn from the control's own pixels
        // Form properties that a new instance sets beyond Enabled and Caption.
        QString newInstanceProperties;
        std::function<UserControl *(QWidget *parent)> create;
    };

    explicit ControlPlugin(Description description);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

    // The name a container gives the first new instance, "xpcmdbutton1".
    QString newInstanceName() const;

private:
    // The class name without its namespace, "xpcmdbutton".
    QString shortName() const;

    Description m_description;
    bool m_initialized = false;
};

} // namespace huvolo
