#pragma once

#include <Huvolo/colour.h>

#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

class QLabel;
class QListWidget;

namespace huvolo {

// The system colours a colour property may hold, by index, with the names
// Designer shows for them.
const std::vector<std::pair<OLE_COLOR, QString>> &systemColours();

// A packed colour as a person reads it: a system colour's name, or #RRGGBB.
QString colourText(OLE_COLOR colour);

// "BackColor" as a menu reads it: "Back Colour".
QString colourPropertyTitle(const QString &propertyName);

// Chooses a value for a colour property: one of the system colours from a
// list, or any other colour from Qt's colour dialog. The choice is the packed
// value the property stores, so a system colour stays a system colour.
class ColourDialog : public QDialog
{
    Q_OBJECT

public:
    ColourDialog(const QString &propertyName, OLE_COLOR colour, QWidget *parent = nullptr);

    OLE_COLOR colour() const;

private:
    void choose(OLE_COLOR colour);
    void chooseOther();

    QLabel *m_swatch = nullptr;
    QLabel *m_preview = nullptr;
    QListWidget *m_systemColours = nullptr;
    OLE_COLOR m_colour = 0;
};

} // namespace huvolo
