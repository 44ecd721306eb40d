#pragma once

#include <Huvolo/xpgroupboxexport.h>

#include <Huvolo/captionedcontrol.h>

#include <memory>

namespace huvolo {

class xpgroupboxPrivate;

// An XP-style group box: a thin light outline with rounded corners, drawn
// from a small frame picture, and a caption label set into its top line.
// It raises Click and DblClick from the caption, and MouseDown, MouseMove
// and MouseUp from the caption and the bare surface, each in the
// coordinates of the part that reported it.
class HUVOLO_XPGROUPBOX_EXPORT xpgroupbox : public CaptionedControl
{
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE writeBackColor)
    Q_CLASSINFO("BackColor.Category", "Appearance")

public:
    explicit xpgroupbox(QWidget *parent = nullptr);
    ~xpgroupbox() override;

    // Recolours the caption; the frame stays as it is.
    void setEnabled(bool New_Enabled) override;

    OLE_COLOR BackColor() const;
    // A value that is neither a colour nor a known system colour raises
    // "Invalid property value" and changes nothing.
    void setBackColor(OLE_COLOR New_BackColor);

    void setCaption(const QString &vNewCaption) override;

    // A layout gives the group box its designed size, or what a layout
    // inside it needs if that is more, and never less than its caption and
    // the frame's corners need.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Known to assistive technology as a grouping named by its caption.
    QAccessible::Role accessibleControlRole() const override;

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

private:
    // Qt's property system (forms, Designer) writes BackColor through this:
    // a value the property refuses is reported and changes nothing.
    void writeBackColor(OLE_COLOR colour);

    void lbl_Click();
    void lbl_DblClick();

    const std::unique_ptr<xpgroupboxPrivate> d;
};

} // namespace huvolo
