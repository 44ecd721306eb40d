#pragma once

#include "colourformats.h"
#include "platform.h"
#include "screenpicker.h"

#include <QObject>
#include <QRgb>

class QAction;
class QMenu;
class QPoint;

namespace huvolo {

class FrmMain;
class RecentColours;

// What the window offers beyond its designed behaviour, through a menu and
// shortcuts: pick a colour from anywhere on the screen, copy the colour in
// other notations, and recall the colours copied lately.
class ColourActions : public QObject
{
    Q_OBJECT

public:
    // `settingsApplication` names the settings the recent colours are kept in.
    ColourActions(FrmMain *window, const QString &settingsOrganization, const QString &settingsApplication);

    // Adds the entries to `menu`, as they stand now.
    void fillMenu(QMenu *menu);
    // Opens a menu of the entries at `globalPosition`.
    void showMenu(const QPoint &globalPosition);

    QAction *pickFromScreenAction() const { return m_pickFromScreen; }
    // Read when first needed, so that starting the program reads no settings.
    RecentColours *recentColours();

    void copyAs(ColourFormat format);
    void chooseRecent(QRgb colour);
    void pickFromScreen();
    // Picks from `screen` with the magnifier, as on X11 from the real screen.
    void pickFrom(ScreenPicker::Screen screen);
    // Runs `pick` (taking it over): what it hovers shows in the read-out, what
    // it picks is copied; a cancelled or failed pick leaves the read-out and
    // the clipboard as they were, and a failure is told to the user.
    void pickWith(ScreenPick *pick);

private:
    void updatePickFromScreen();
    void endPick();
    void reportPickFailure(const QString &why);

    FrmMain *m_window;
    QString m_settingsOrganization;
    QString m_settingsApplication;
    RecentColours *m_recent = nullptr;
    QAction *m_pickFromScreen;
    ScreenPicking *m_picking;
    ScreenPick *m_pick = nullptr; // the pick running, if any
};

} // namespace huvolo
