#include "huvolodesigner.h"

#include "controlplugin.h"
#include "embeddedpicture.h"
#include "framemetrics.h"
#include "skinmetrics.h"
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

namespace huvolo {

namespace embedded {
extern const EmbeddedPicture buttonSkin;
extern const EmbeddedPicture groupBoxFrame;
} // namespace embedded

namespace {

// The button's skin holds its five looks side by side; the icon shows the
// first, the plain button.
QImage plainButtonCell()
{
    const QImage skin = embedded::buttonSkin.image();
    return skin.copy(0, 0, skinmetrics::CellWidth, skinmetrics::CellHeight);
}

} // namespace

HuvoloDesigner::HuvoloDesigner(QObject *parent)
    : QObject(parent)
{
    m_controls.push_back(std::make_unique<ControlPlugin>(ControlPlugin::Description{
        QStringLiteral("huvolo::xpcmdbutton"),
        QSize(skinmetrics::DefaultWidth, skinmetrics::DefaultHeight),
        false,
        QStringLiteral("XP-style command button"),
        QStringLiteral("A command button painted from its skin, with hover and pressed looks, "
                       "a look at rest chosen by State, and a MouseOut event."),
        plainButtonCell(),
        QString(),
        [](QWidget *parent) -> UserControl * { return new xpcmdbutton(parent); },
    }));
    m_controls.push_back(std::make_unique<ControlPlugin>(ControlPlugin::Description{
        QStringLiteral("huvolo::xpgroupbox"),
        QSize(framemetrics::DefaultWidth, framemetrics::DefaultHeight),
        true,
        QStringLiteral("XP-style group box"),
        QStringLiteral("A group box with a thin rounded outline and its caption set into the top line."),
        embedded::groupBoxFrame.image(),
        // Yellow, 0x0000FFFF.
        QStringLiteral(R"(<property name="BackColor"><UInt>65535</UInt></property>)"),
        [](QWidget *parent) -> UserControl * { return new xpgroupbox(parent); },
    }));
}

HuvoloDesigner::~HuvoloDesigner() = default;

QList<QDesignerCustomWidgetInterface *> HuvoloDesigner::customWidgets() const
{
    QList<QDesignerCustomWidgetInterface *> interfaces;
    for (const auto &control : m_controls)
        interfaces << control.get();
    return interfaces;
}

} // namespace huvolo
