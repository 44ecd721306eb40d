#include "colouractions.h"

#include "frmmain.h"
#include "portalpicker.h"
#include "recentcolours.h"
#include "x11screen.h"

#include "accessibility.h"
#include <Huvolo/hosterror.h>

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace huvolo {

namespace {

// A small square of the colour, framed so that white shows on a white menu.
QIcon swatch(QRgb colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

ColourActions::ColourActions(FrmMain *window, const QString &settingsOrganization, const QString &settingsApplication)
    : QObject(window),
      m_window(window),
      m_settingsOrganization(settingsOrganization),
      m_settingsApplication(settingsApplication),
      m_pickFromScreen(new QAction(QStringLiteral("&Pick from screen"), this))
{
    m_pickFromScreen->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    m_pickFromScreen->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_pickFromScreen);
    connect(m_pickFromScreen, &QAction::triggered, this, &ColourActions::pickFromScreen);
    // Remembered once the copy is done: saving the list waits for the disk,
    // which a click need not wait for.
    connect(window, &FrmMain::copied, this, [this](QRgb colour) { recentColours()->add(colour); }, Qt::QueuedConnection);
    updatePickFromScreen(false);
}

RecentColours *ColourActions::recentColours()
{
    if (!m_recent)
        m_recent = new RecentColours(m_settingsOrganization, m_settingsApplication, this);
    return m_recent;
}

// X11 lets a program read the screen; elsewhere the desktop portal may pick
// for us, which is asked only when `askPortal` (a round trip on the session
// bus). Without either the entry stays, disabled, saying why.
void ColourActions::updatePickFromScreen(bool askPortal)
{
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    const bool available = !m_picking && (x11 || !askPortal || PortalColourPicker::available());
    m_pickFromScreen->setEnabled(available);
    m_pickFromScreen->setToolTip(available || m_picking ? QString()
                                                        : QStringLiteral("Picking from the screen needs X11, or a desktop "
                                                                         "portal that can pick colours; none is running."));
}

void ColourActions::fillMenu(QMenu *menu)
{
    menu->setToolTipsVisible(true);
    makeMenuSpeakable(menu);
    updatePickFromScreen(true); // a portal may have come or gone
    menu->addAction(m_pickFromScreen);

    const std::optional<QRgb> current = m_window->sampledColour();
    QMenu *copy = menu->addMenu(QStringLiteral("&Copy as"));
    copy->setEnabled(current.has_value());
    for (const ColourFormat format : colourFormats) {
        QAction *action = copy->addAction(current ? formatColour(*current, format) : colourFormatLabel(format));
        connect(action, &QAction::triggered, this, [this, format] { copyAs(format); });
    }

    RecentColours *recentList = recentColours();
    recentList->reload(); // what other windows have copied meanwhile
    QMenu *recent = menu->addMenu(QStringLiteral("&Recent colours"));
    const QList<QRgb> colours = recentList->colours();
    recent->setEnabled(!colours.isEmpty());
    for (const QRgb colour : colours) {
        QAction *action = recent->addAction(swatch(colour), formatColour(colour, ColourFormat::HexUpper));
        connect(action, &QAction::triggered, this, [this, colour] { chooseRecent(colour); });
    }
    recent->addSeparator();
    connect(recent->addAction(QStringLiteral("C&lear recent colours")), &QAction::triggered, recentList,
            &RecentColours::clear);
}

void ColourActions::showMenu(const QPoint &globalPosition)
{
    QMenu menu(m_window);
    fillMenu(&menu);
    menu.exec(globalPosition);
}

void ColourActions::copyAs(ColourFormat format)
{
    if (const std::optional<QRgb> current = m_window->sampledColour())
        m_window->copyText(formatColour(*current, format), *current);
}

// A recent colour is shown as a sample is and copied as a click copies.
void ColourActions::chooseRecent(QRgb colour)
{
    m_window->showColour(colour);
    m_window->copyColour();
}

void ColourActions::pickFromScreen()
{
    if (m_picking || !m_pickFromScreen->isEnabled())
        return;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        pickFrom(x11Screen());
        return;
    }
    if (!PortalColourPicker::available()) {
        updatePickFromScreen(true);
        return;
    }
    m_picking = true;
    m_pickFromScreen->setEnabled(false);
    const FrmMain::ReadOut before = m_window->readOut();
    auto *portal = new PortalColourPicker(this);
    connect(portal, &PortalColourPicker::picked, m_window, [this](QRgb colour) {
        m_window->showColour(colour);
        m_window->copyColour();
    });
    connect(portal, &PortalColourPicker::cancelled, m_window, [this, before] { m_window->setReadOut(before); });
    connect(portal, &PortalColourPicker::picked, portal, &QObject::deleteLater);
    connect(portal, &PortalColourPicker::cancelled, portal, &QObject::deleteLater);
    connect(portal, &QObject::destroyed, this, [this] {
        m_picking = false;
        updatePickFromScreen(false);
    });
    portal->start();
}

// The read-out follows the pointer as over a picture; a click takes the
// colour as a click on a picture does, and giving up leaves the read-out
// and the clipboard as they were.
void ColourActions::pickFrom(ScreenPicker::Screen screen)
{
    if (m_picking)
        return;
    m_picking = true;
    m_pickFromScreen->setEnabled(false);
    const FrmMain::ReadOut before = m_window->readOut();
    auto *picker = new ScreenPicker(std::move(screen));
    connect(picker, &ScreenPicker::hovered, m_window, [this](QRgb colour) { m_window->showColour(colour); });
    connect(picker, &ScreenPicker::picked, m_window, [this](QRgb colour) {
        m_window->showColour(colour);
        m_window->copyColour();
    });
    connect(picker, &ScreenPicker::cancelled, m_window, [this, before] { m_window->setReadOut(before); });
    connect(picker, &ScreenPicker::failed, m_window, [this](const QString &why) {
        qWarning("huvolo: cannot pick from the screen: %s", qPrintable(why));
        QToolTip::showText(QCursor::pos(), QStringLiteral("Cannot pick from the screen: %1.").arg(why), m_window);
    });
    connect(picker, &QObject::destroyed, this, [this] {
        m_picking = false;
        updatePickFromScreen(false);
        // The picker held the keyboard; the window takes it back.
        m_window->activateWindow();
    });
    picker->start();
}

} // namespace huvolo
