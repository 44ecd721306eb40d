#include "colouractions.h"

#include "recentcolours.h"
#include "x11picking.h"

#include "accessibility.h"
#include "clipboard.h"
#include <Huvolo/hosterror.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QWidget>

#include <cstdio>

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

ColourActions::ColourActions(QWidget *window, const QString &settingsOrganization, const QString &settingsApplication)
    : QObject(window),
      m_window(window),
      m_settingsOrganization(settingsOrganization),
      m_settingsApplication(settingsApplication),
      m_pickFromScreen(new QAction(QStringLiteral("&Pick from screen"), this)),
      m_picking(&screenPicking())
{
    m_pickFromScreen->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    m_pickFromScreen->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_pickFromScreen);
    connect(m_pickFromScreen, &QAction::triggered, this, &ColourActions::pickFromScreen);
    // The shortcut follows a desktop portal that comes or goes while the
    // window is open, without the menu being opened first.
    connect(m_picking, &ScreenPicking::availabilityChanged, this, &ColourActions::updatePickFromScreen);
    updatePickFromScreen();
}

RecentColours *ColourActions::recentColours()
{
    if (!m_recent)
        m_recent = new RecentColours(m_settingsOrganization, m_settingsApplication, this);
    return m_recent;
}

// Without a way to pick the entry stays, disabled, saying why.
void ColourActions::updatePickFromScreen()
{
    const bool available = m_picking->available();
    m_pickFromScreen->setEnabled(!m_pick && available);
    m_pickFromScreen->setToolTip(available ? QString() : m_picking->unavailableReason());
}

void ColourActions::fillMenu(QMenu *menu, const SampledColour &current)
{
    menu->setToolTipsVisible(true);
    makeMenuSpeakable(menu);
    m_picking->refresh(); // a portal may have come or gone unnoticed
    menu->addAction(m_pickFromScreen);

    // Each entry shows what it copies, then the colour's name, as the
    // read-out's tooltip does; only the notation is copied, of the very
    // colour the entry shows.
    QMenu *copy = menu->addMenu(QStringLiteral("&Copy as"));
    copy->setEnabled(current.isValid());
    for (const ColourFormat format : colourFormats) {
        QAction *action = copy->addAction(current.isValid() ? current.description(format) : colourFormatLabel(format));
        connect(action, &QAction::triggered, this, [this, current, format] { copyAs(current, format); });
    }

    RecentColours *recentList = recentColours();
    recentList->reload(); // what other windows have copied meanwhile
    QMenu *recent = menu->addMenu(QStringLiteral("&Recent colours"));
    const QList<QRgb> colours = recentList->colours();
    recent->setEnabled(!colours.isEmpty());
    for (const QRgb rgb : colours) {
        const SampledColour colour(rgb);
        QAction *action = recent->addAction(swatch(rgb), colour.description());
        connect(action, &QAction::triggered, this, [this, colour] { chooseRecent(colour); });
    }
    recent->addSeparator();
    connect(recent->addAction(QStringLiteral("C&lear recent colours")), &QAction::triggered, recentList,
            &RecentColours::clear);
}

void ColourActions::showMenu(const QPoint &globalPosition, const SampledColour &current)
{
    QMenu menu(m_window);
    fillMenu(&menu, current);
    menu.exec(globalPosition);
}

void ColourActions::copyAs(const SampledColour &colour, ColourFormat format)
{
    if (!colour.isValid())
        return;
    hostGuard([&] {
        Clipboard::Clear();
        Clipboard::SetText(colour.text(format));
        announce(QStringLiteral("Copied ") + colour.description(format));
        remember(colour);
    });
}

// Saving the list waits for the disk, which a copy need not wait for.
void ColourActions::remember(const SampledColour &colour)
{
    if (!colour.isValid())
        return;
    QMetaObject::invokeMethod(this, [this, rgb = colour.rgb()] { recentColours()->add(rgb); }, Qt::QueuedConnection);
}

// A recent colour is shown as a sample is and copied as a click copies.
void ColourActions::chooseRecent(const SampledColour &colour)
{
    emit takeRequested(colour);
}

void ColourActions::pickFromScreen()
{
    if (m_pick || !m_pickFromScreen->isEnabled())
        return;
    if (ScreenPick *pick = m_picking->newPick(this))
        pickWith(pick);
    else
        updatePickFromScreen();
}

void ColourActions::pickFrom(ScreenPicker::Screen screen)
{
    if (!m_pick)
        pickWith(new MagnifierPick(std::move(screen), this));
}

// The read-out follows the pointer as over a picture; a pick takes the
// colour as a click on a picture does, and giving up leaves the read-out
// and the clipboard as they were.
void ColourActions::pickWith(ScreenPick *pick)
{
    if (m_pick) {
        delete pick;
        return;
    }
    pick->setParent(this);
    m_pick = pick;
    updatePickFromScreen(); // one pick at a time
    emit previewStarted();
    connect(pick, &ScreenPick::hovered, this, [this](QRgb colour) { emit previewRequested(SampledColour(colour)); });
    connect(pick, &ScreenPick::picked, this, [this](QRgb colour) {
        emit takeRequested(SampledColour(colour));
        endPick();
    });
    connect(pick, &ScreenPick::cancelled, this, [this] {
        emit restoreRequested();
        endPick();
    });
    connect(pick, &ScreenPick::failed, this, [this](const QString &why) {
        emit restoreRequested();
        endPick();
        reportPickFailure(why);
    });
    pick->start();
}

void ColourActions::endPick()
{
    if (!m_pick)
        return;
    m_pick->deleteLater();
    m_pick = nullptr;
    updatePickFromScreen();
    // The picker may have held the keyboard; the window takes it back.
    m_window->activateWindow();
}

// On standard error, and in a note over the window that goes by itself:
// a desktop picker may answer Esc as it answers a failure, so the note
// neither takes the keyboard nor waits to be dismissed.
void ColourActions::reportPickFailure(const QString &why)
{
    const QString text = QStringLiteral("Picking from the screen failed: %1").arg(why);
    std::fputs(qPrintable(QStringLiteral("huvolo: picking from the screen failed: %1\n").arg(why)), stderr);
    std::fflush(stderr);
    QToolTip::showText(m_window->mapToGlobal(QPoint(0, m_window->height() / 2)), text, m_window, QRect(), 10000);
}

} // namespace huvolo
