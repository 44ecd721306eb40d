#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/colour.h>
#include <Huvolo/propertybag.h>
#include <Huvolo/stdfont.h>

#include <QAccessible>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace huvolo {

class UserControlPrivate;

// The drawing surface of a custom control. It owns a persistent backing
// image, so what the control draws survives repaints (paintEvent only copies
// it), a scale mode, and the life-cycle and input hooks a control overrides.
// A container creates the control and places it with huvolo::place, which
// sets its geometry and Ambient source and runs the life-cycle hooks in the
// host's order.
class HUVOLO_HOST_EXPORT UserControl : public QWidget
{
    Q_OBJECT

public:
    struct AmbientProperties
    {
        QString DisplayName;
        FontRef Font;
    };
    using AmbientSource = std::function<AmbientProperties()>;

    enum ScaleModes : qint16 { vbTwips = 1, vbPixels = 3 };

    explicit UserControl(QWidget *parent = nullptr);
    ~UserControl() override;

    // UserControl_WriteProperties into a new bag: what a container saves.
    PropertyBag save();

    // Fetched afresh on every call, as the container's values may change.
    AmbientProperties Ambient() const;
    void setAmbientSource(AmbientSource source);

    // With double clicks off, the second press of a quick pair is an ordinary
    // press and its release a click, for controls that publish no DblClick.
    void setDoubleClicks(bool on);

    // The largest side a surface may have. No real screen is this large, and
    // it keeps one backing image within 256 MB; the widget's maximum size
    // holds any resize from outside to it as well.
    static constexpr int MaxSurfaceSide = 8192;

    // Moves and sizes the control without running any handler, as a stored
    // layout puts it in place (see huvolo::place). A side beyond
    // MaxSurfaceSide raises "Invalid property value".
    void setStoredGeometry(const QRect &pixels);

    // Sets the size and runs the resize hook at once, shown or not. A side
    // below 0 or above MaxSurfaceSide raises "Invalid property value" and
    // leaves the control as it was.
    void setSurfaceSize(int width, int height);

    // The surface's own enabled flag. A disabled parent leaves it as it is.
    bool surfaceEnabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    void setSurfaceEnabled(bool enabled);
    OLE_COLOR surfaceBackColor() const;
    void setSurfaceBackColor(OLE_COLOR colour);
    FontRef surfaceFont() const;
    void setSurfaceFont(const FontRef &font);

    qint16 ScaleMode() const;
    void setScaleMode(qint16 mode);
    float ScaleLeft() const { return 0.0f; }
    float ScaleTop() const { return 0.0f; }
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Clears the surface to its back colour.
    void Cls();
    // Copies a source rectangle of Picture onto a destination rectangle of the
    // surface, in scale units: nearest-neighbour stretch (a tie goes to the
    // lower source pixel), transparent pixels left out; a zero or negative
    // size on either side draws nothing. A number that is not finite or does
    // not fit a 32-bit pixel position raises "Invalid procedure call or
    // argument" and draws nothing.
    void PaintPicture(const QImage &Picture, float X1, float Y1, float Width1, float Height1,
                      float X2, float Y2, float Width2, float Height2);

    const QImage &image() const;

    // Life-cycle hooks, in the order the host calls them.
    virtual void UserControl_Initialize() {}
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(const PropertyBag &PropBag) { Q_UNUSED(PropBag); }
    virtual void UserControl_WriteProperties(PropertyBag &PropBag) { Q_UNUSED(PropBag); }
    virtual void UserControl_Resize() {}
    virtual void UserControl_Show() {}

    // Input hooks; coordinates are in scale units of the surface.
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}
    virtual void UserControl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    virtual void UserControl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    virtual void UserControl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);
    virtual void UserControl_KeyDown(qint16 &KeyCode, qint16 &Shift);
    virtual void UserControl_KeyPress(qint16 &KeyAscii);
    virtual void UserControl_KeyUp(qint16 &KeyCode, qint16 &Shift);
    virtual void UserControl_AccessKeyPress(qint16 &KeyAscii) { Q_UNUSED(KeyAscii); }

    // What assistive technology is told the control is and what it is
    // called, unless the container set an accessible name. A push button
    // offers the Press action, which runs UserControl_AccessKeyPress.
    virtual QAccessible::Role accessibleControlRole() const { return QAccessible::Client; }
    virtual QString accessibleControlName() const { return {}; }

signals:
    void PropertyChanged(const QString &PropertyName);

    // The host's standard events (Click -600, DblClick -601, KeyDown -602,
    // KeyPress -603, KeyUp -604, MouseDown -605, MouseMove -606, MouseUp -607),
    // raised synchronously with their arguments by reference. Each control
    // raises the ones it publishes and no others.
    void Click();
    void DblClick();
    void KeyDown(qint16 &KeyCode, qint16 &Shift);
    void KeyPress(qint16 &KeyAscii);
    void KeyUp(qint16 &KeyCode, qint16 &Shift);
    void MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);

protected:
    // The control's Enabled property steps, run when the surface's own flag
    // is changed through QWidget::setEnabled (a layout, a form, a designer)
    // rather than through the property.
    virtual void surfaceEnabledChanged(bool New_Enabled) { Q_UNUSED(New_Enabled); }

    // Tells assistive technology, when one is listening, that the name from
    // accessibleControlName() changed.
    void accessibleControlNameChanged();

    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    float toScale(double pixels) const;
    void resizeSurface();
    using MouseHook = void (UserControl::*)(qint16 &, qint16 &, float &, float &);
    void raiseMouse(MouseHook hook, const QMouseEvent *event, qint16 button);

    // Everything the surface keeps, so that a later version can keep more
    // without changing the size of the class programs derive from.
    const std::unique_ptr<UserControlPrivate> d;
};

} // namespace huvolo
