#pragma once

#include <Huvolo/xpgroupboxexport.h>

#include <Huvolo/usercontrol.h>

namespace huvolo {

class Image;
class Label;

// An XP-style group box: a thin light outline with rounded corners, drawn
// from a small frame picture, and a caption label set into its top line.
// It raises Click and DblClick from the caption, and MouseDown, MouseMove
// and MouseUp from the caption and the bare surface, each in the
// coordinates of the part that reported it.
class HUVOLO_XPGROUPBOX_EXPORT xpgroupbox : public UserControl
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(huvolo::FontRef Font READ Font WRITE writeFont DESIGNABLE false)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE writeBackColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    // Font as a Qt font, for Qt's font editors and forms; it shadows QWidget's.
    Q_PROPERTY(QFont font READ font WRITE writeQFont)
    Q_CLASSINFO("Enabled.Category", "Behavior")
    Q_CLASSINFO("BackColor.Category", "Appearance")
    Q_CLASSINFO("Caption.Category", "Appearance")

public:
    explicit xpgroupbox(QWidget *parent = nullptr);

    bool Enabled() const;
    // Recolours the caption; the frame stays as it is.
    void setEnabled(bool New_Enabled);

    // The very font object last assigned, shared with the surface and caption.
    FontRef Font() const;
    void setFont(const FontRef &vNewFont);
    // Font as a Qt font, or the widget's own font before any assignment.
    QFont font() const;
    // Assigns Font a new font object made from the Qt font, whose unset
    // attributes come from the current font.
    void setFont(const QFont &font);

    OLE_COLOR BackColor() const;
    // A value that is neither a colour nor a known system colour raises
    // "Invalid property value" and changes nothing.
    void setBackColor(OLE_COLOR New_BackColor);

    QString Caption() const;
    void setCaption(const QString &vNewCaption);

    // A layout gives the group box its designed size, or what a layout
    // inside it needs if that is more, and never less than its caption and
    // the frame's corners need.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Known to assistive technology as a grouping named by its caption.
    QAccessible::Role accessibleControlRole() const override;
    QString accessibleControlName() const override;

    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const PropertyBag &PropBag) override;
    void UserControl_WriteProperties(PropertyBag &PropBag) override;
    // The only drawing routine: clears the surface, puts the caption in its
    // place and copies the eight pieces of the outline.
    void UserControl_Resize() override;

    void UserControl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y) override;
    void UserControl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y) override;
    void UserControl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y) override;

protected:
    void surfaceEnabledChanged(bool New_Enabled) override;

private:
    // Writers for Qt's property system (forms, Designer): a value the
    // property refuses is reported and changes nothing; no error reaches Qt.
    void writeFont(const FontRef &font);
    void writeQFont(const QFont &font);
    void writeBackColor(OLE_COLOR colour);

    void lbl_Change();
    void lbl_Click();
    void lbl_DblClick();
    void lbl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void lbl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void lbl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);

    Label *lbl = nullptr;
    Image *img = nullptr;

    FontRef m_Font;
    OLE_COLOR m_BackColor = vbWindowBackground;
};

} // namespace huvolo
