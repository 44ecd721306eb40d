#pragma once

#include "colourformats.h"
#include "platform.h"
#include "sampledcolour.h"
#include "screenpicker.h"

#include <QObject>
#include <QRgb>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace huvolo {

class RecentColours;

// What the window offers beyond its designed behaviour, through a menu and
// shortcuts: pick a colour from anywhere on the screen, copy the colour in
// other notations, and recall the colours copied lately. It knows the window
// only as a widget to put its menu, shortcut and notes on; what the window
// should show or copy it asks for through its signals.
class ColourActions : public QObject
{
    Q_OBJECT

public:
    // `settingsApplication` names the settings the recent colours are kept in.
    ColourActions(QWidget *window, const QString &settingsOrganization, const QString &settingsApplication);

    // Adds the entries to `menu` for `current`, the colour the window shows.
    void fillMenu(QMenu *menu, const SampledColour &current);
    // Opens a menu of the entries for `current` at `globalPosition`.
    void showMenu(const QPoint &globalPosition, const SampledColour &current);

    QAction *pickFromScreenAction() const { return m_pickFromScreen; }
    // Read when first needed, so that starting the program reads no settings.
    RecentColours *recentColours();

    // Puts `colour`, written in `format`, on the clipboard and remembers it.
    void copyAs(const SampledColour &colour, ColourFormat format);
    // Remembers a colour the window copied, once the copy is done.
    void remember(const SampledColour &colour);
    void chooseRecent(const SampledColour &colour);
    void pickFromScreen();
    // Picks from `screen` with the magnifier, as on X11 from the real screen.
    void pickFrom(ScreenPicker::Screen screen);
    // Runs `pick` (taking it over): what it hovers shows in the read-out, what
    // it picks is copied; a cancelled or failed pick leaves the read-out and
    // the clipboard as they were, and a failure is told to the user.
    void pickWith(ScreenPick *pick);

signals:
    // A pick begins: the window keeps what its read-out shows ...
    void previewStarted();
    // ... shows each colour the pick hovers as a sample shows it ...
    void previewRequested(const SampledColour &colour);
    // ... and puts back what it kept when the pick is given up or fails.
    void restoreRequested();
    // The window shows `colour` and copies it as a click on a picture does.
    void takeRequested(const SampledColour &colour);

private:
    void updatePickFromScreen();
    void endPick();
    void reportPickFailure(const QString &why);

    QWidget *m_window;
    QString m_settingsOrganization;
    QString m_settingsApplication;
    RecentColours *m_recent = nullptr;
    QAction *m_pickFromScreen;
    ScreenPicking *m_picking;
    ScreenPick *m_pick = nullptr; // the pick running, if any
};

} // namespace huvolo
