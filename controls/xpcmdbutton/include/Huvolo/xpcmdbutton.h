#pragma once

#include <Huvolo/xpcmdbuttonexport.h>

#include <Huvolo/usercontrol.h>

#include <functional>

class QTimer;

namespace huvolo {

class Label;

// An XP-style command button. It paints itself from a five-cell skin as a
// nine-slice with 3-pixel borders, keeps its caption label centred, shows
// hover and pressed looks under the mouse, and polls the pointer with a
// 10 ms timer after each move so that it can report the pointer leaving as
// MouseOut. Caption, Font, State and Enabled persist in a property bag.
class HUVOLO_XPCMDBUTTON_EXPORT xpcmdbutton : public UserControl
{
    Q_OBJECT
    Q_PROPERTY(qint32 State READ State WRITE setState)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(huvolo::FontRef Font READ Font WRITE writeFont DESIGNABLE false)
    // Font as a Qt font, for Qt's font editors and forms; it shadows QWidget's.
    Q_PROPERTY(QFont font READ font WRITE writeQFont)
    Q_CLASSINFO("State.Description", "Returns/sets the state of the command button when mouse_out.")
    Q_CLASSINFO("State.Category", "Misc")
    Q_CLASSINFO("Enabled.Category", "Behavior")
    Q_CLASSINFO("Caption.Category", "Appearance")

public:
    // The pointer's position in client pixels of the given surface.
    using PointerSource = std::function<QPoint(const QWidget *surface)>;

    explicit xpcmdbutton(QWidget *parent = nullptr);

    // The look at rest: 0 the plain button, 1 the light-blue band; any other
    // value is kept and leaves the rest look as it was.
    qint32 State() const;
    void setState(qint32 vNewValue);
    bool Enabled() const;
    void setEnabled(bool New_Enabled);
    QString Caption() const;
    void setCaption(const QString &vNewCaption);
    // The very object assigned, shared with the surface and the label; empty
    // before the first assignment.
    FontRef Font() const;
    void setFont(const FontRef &vNewFont);
    // Font as a Qt font, or the widget's own font before any assignment.
    QFont font() const;
    // Assigns Font a new font object made from the Qt font, whose unset
    // attributes come from the current font.
    void setFont(const QFont &font);

    // A layout gives the button its designed size while there is room, and
    // never less than its caption and the skin's edges need.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The hover timer asks this for the pointer; by default it is the real
    // pointer through GetCursorPos and ScreenToClient.
    void setPointerSource(PointerSource source);

    // Known to assistive technology as a push button named by its caption.
    QAccessible::Role accessibleControlRole() const override;
    QString accessibleControlName() const override;

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

protected:
    void surfaceEnabledChanged(bool New_Enabled) override;

private:
    // Writers for Qt's property system (forms, Designer): a value the
    // property refuses is reported and changes nothing; no error reaches Qt.
    void writeFont(const FontRef &font);
    void writeQFont(const QFont &font);

    void Redraw();
    void DrawSkin(const qint16 &cell);
    QImage GraphicCell(qint16 cell) const;
    void Timer1_Timer();

    void lbl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void lbl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void lbl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void lbl_Click();
    void lbl_Change();

    QTimer *Timer1 = nullptr;
    Label *lbl = nullptr;
    QImage m_skin;
    PointerSource m_pointerSource;

    qint32 m_State = 0;
    FontRef m_Font;
    qint16 m_RestCell = 0;
};

} // namespace huvolo
