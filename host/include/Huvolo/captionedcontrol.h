#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/usercontrol.h>

#include <memory>

namespace huvolo {

class CaptionedControlPrivate;
class Label;

// Where a control with a caption starts: it owns the caption label "lbl",
// the font object the control shares with it, and the parts of Enabled,
// Caption and Font that are the same in every such control (the getters,
// Qt's font property, the writers that forms and Designer use, and the
// label's mouse notifications raised as the control's own). A control
// keeps only the steps of its own setters.
class HUVOLO_HOST_EXPORT CaptionedControl : public UserControl
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(huvolo::FontRef Font READ Font WRITE writeFont DESIGNABLE false)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    // Font as a Qt font, for Qt's font editors and forms; it shadows QWidget's.
    Q_PROPERTY(QFont font READ font WRITE writeQFont)
    Q_CLASSINFO("Enabled.Category", "Behavior")
    Q_CLASSINFO("Caption.Category", "Appearance")

public:
    explicit CaptionedControl(QWidget *parent = nullptr);
    ~CaptionedControl() override;

    bool Enabled() const;
    // The control's own steps; QWidget::setEnabled from a layout, a form or
    // a designer runs them too.
    virtual void setEnabled(bool New_Enabled) = 0;

    QString Caption() const;
    virtual void setCaption(const QString &vNewCaption) = 0;

    // The very object assigned, shared with the surface and the label; empty
    // before the first assignment. Assigning it keeps the object, hands it to
    // the surface and then to the label, redraws and notifies "Font". No
    // font, or one a property bag could not store, raises "Invalid property
    // value" and changes nothing.
    FontRef Font() const;
    void setFont(const FontRef &vNewFont);
    // Font as a Qt font, or the widget's own font before any assignment.
    QFont font() const;
    // Assigns Font a new font object made from the Qt font, whose unset
    // attributes come from the current font.
    void setFont(const QFont &font);

    // Assistive technology knows the control by its caption.
    QString accessibleControlName() const override;

protected:
    void surfaceEnabledChanged(bool New_Enabled) override;

    // The caption's mouse notifications, in its own coordinates; by default
    // the control's own mouse hooks handle them.
    virtual void lbl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    virtual void lbl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    virtual void lbl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);

    // A new caption or font resizes the label: redraws, and lets a layout
    // know the minimum size may have changed. A control binds it to the
    // label's Change once the label is set up, so that setting it up
    // draws nothing.
    void lbl_Change();

    // The caption label, "lbl".
    Label *label() const;

private:
    // Writers for Qt's property system (forms, Designer): a value the
    // property refuses is reported and changes nothing; no error reaches Qt.
    void writeFont(const FontRef &font);
    void writeQFont(const QFont &font);

    const std::unique_ptr<CaptionedControlPrivate> d;
};

} // namespace huvolo
