#pragma once

#include <Huvolo/xpcmdbuttonexport.h>

#include <Huvolo/captionedcontrol.h>

#include <functional>
#include <memory>

namespace huvolo {

class xpcmdbuttonPrivate;

// An XP-style command button. It paints itself from a five-cell skin as a
// nine-slice with 3-pixel borders, keeps its caption label centred, shows
// hover and pressed looks under the mouse, and polls the pointer with a
// 10 ms timer after each move so that it can report the pointer leaving as
// MouseOut. Caption, Font, State and Enabled persist in a property bag.
class HUVOLO_XPCMDBUTTON_EXPORT xpcmdbutton : public CaptionedControl
{
    Q_OBJECT
    Q_PROPERTY(qint32 State READ State WRITE setState)
    Q_CLASSINFO("State.Description", "Returns/sets the state of the command button when mouse_out.")
    Q_CLASSINFO("State.Category", "Misc")

public:
    // The pointer's position in client pixels of the given surface.
    using PointerSource = std::function<QPoint(const QWidget *surface)>;

    explicit xpcmdbutton(QWidget *parent = nullptr);
    ~xpcmdbutton() override;

    // The look at rest: 0 the plain button, 1 the light-blue band; any other
    // value is kept and leaves the rest look as it was.
    qint32 State() const;
    void setState(qint32 vNewValue);
    void setEnabled(bool New_Enabled) override;
    void setCaption(const QString &vNewCaption) override;

    // A layout gives the button its designed size while there is room, and
    // never less than its caption and the skin's edges need.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The hover timer asks this for the pointer; by default it is the real
    // pointer through GetCursorPos and ScreenToClient.
    void setPointerSource(PointerSource source);

    // Known to assistive technology as a push button named by its caption.
    QAccessible::Role accessibleControlRole() const override;

    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const PropertyBag &PropBag) override;
    void UserControl_WriteProperties(PropertyBag &PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Show() override;

    void UserControl_Click() override;
    void UserControl_AccessKeyPress(qint16 &KeyAscii) override;
    void UserControl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y) override;
    void UserControl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y) override;
    void UserControl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y) override;
    void UserControl_KeyDown(qint16 &KeyCode, qint16 &Shift) override;
    void UserControl_KeyPress(qint16 &KeyAscii) override;
    void UserControl_KeyUp(qint16 &KeyCode, qint16 &Shift) override;

signals:
    void MouseOut();

private:
    void Redraw();
    void DrawSkin(const qint16 &cell);
    QImage GraphicCell(qint16 cell) const;
    void Timer1_Timer();

    void lbl_Click();

    const std::unique_ptr<xpcmdbuttonPrivate> d;
};

} // namespace huvolo
