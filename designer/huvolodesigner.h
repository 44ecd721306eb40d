#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <memory>
#include <vector>

namespace huvolo {

class ControlPlugin;

// The Qt Designer plugin: xpcmdbutton and xpgroupbox in the widget box's
// "Huvolo" group. QUiLoader loads it too, to build forms at run time.
class HuvoloDesigner : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit HuvoloDesigner(QObject *parent = nullptr);
    ~HuvoloDesigner() override;

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override;

private:
    std::vector<std::unique_ptr<ControlPlugin>> m_controls;
};

} // namespace huvolo
