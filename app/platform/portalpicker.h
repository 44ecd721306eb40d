#pragma once

#include <QObject>
#include <QRgb>
#include <QVariantMap>

class QWidget;

namespace huvolo {

// Picks a colour from the screen through the desktop portal, where a program
// cannot read the screen itself (Wayland): the portal shows its own picker
// and answers with the colour, or with nothing when the user gives up.
class PortalColourPicker : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a desktop portal on the session bus offers colour picking.
    static bool available();

    void start();

signals:
    void picked(QRgb colour);
    void cancelled();

private slots:
    void response(uint code, const QVariantMap &results);
};

} // namespace huvolo
