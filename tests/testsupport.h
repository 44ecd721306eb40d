#pragma once

// Helpers shared by the unit tests.

#include "embeddedpicture.h"
#include "label.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/usercontrol.h>

#include <QApplication>
#include <QColor>
#include <QMetaType>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>

// The compiled-in pictures, as the program shows them.
namespace huvolo::embedded {
extern const EmbeddedPicture colourWheel;
extern const EmbeddedPicture swatchGrid;
extern const EmbeddedPicture buttonSkin;
extern const EmbeddedPicture groupBoxFrame;
} // namespace huvolo::embedded

// A file of the source tree, such as a committed picture.
inline QString sourceFile(const char *relative)
{
    return QStringLiteral(HUVOLO_SOURCE_DIR "/") + QLatin1String(relative);
}

// Runs `action`, which must raise a host error with `number` whose
// description contains `fragment`.
inline void expectHostError(const std::function<void()> &action, int number, const QString &fragment)
{
    try {
        action();
    } catch (const huvolo::HostError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY2(error.description().contains(fragment),
                 qPrintable(QStringLiteral("\"%1\" does not name \"%2\"").arg(error.description(), fragment)));
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no error %1 raised").arg(number)));
}

// One mouse event at `pos` of `widget`, sent straight to it: the button is
// held during a press or a double click, and no longer at its release.
inline void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void click(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseButtonPress, at, button);
    sendMouse(widget, QEvent::MouseButtonRelease, at, button);
}

// What a real double click delivers: press, release, the second press as a
// double click, release.
inline void doubleClick(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    click(widget, at, button);
    sendMouse(widget, QEvent::MouseButtonDblClick, at, button);
    sendMouse(widget, QEvent::MouseButtonRelease, at, button);
}

// A control's caption, the label "lbl" it carries.
inline huvolo::Label *labelOf(const QWidget &control)
{
    return control.findChild<huvolo::Label *>(QStringLiteral("lbl"));
}

// Where on a control an input lands: its own surface or its caption.
enum class Target { Surface, Caption };
Q_DECLARE_METATYPE(Target)

inline QWidget *widgetOf(QWidget *control, Target target)
{
    return target == Target::Caption ? labelOf(*control) : control;
}

// The caption's colour as "#RRGGBB" (OLE colours are 0x00BBGGRR).
inline QString captionColour(const QWidget &control)
{
    const huvolo::OLE_COLOR c = labelOf(control)->ForeColor();
    return QColor(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)).name().toUpper();
}

// Logs the events a control raises with the arguments its receivers saw, as
// "MouseDown(1,0,3,4)" or "Click" (QSignalSpy cannot record arguments passed
// by reference). Receivers connected later see what these saw.
inline void recordEvents(huvolo::UserControl *control, QStringList &log)
{
    using huvolo::UserControl;
    const auto entry = [&log](const char *name) {
        return [&log, name](auto &...args) {
            const QStringList values{QString::number(args)...};
            log << QLatin1String(name) + (values.isEmpty() ? QString() : '(' + values.join(',') + ')');
        };
    };
    QObject::connect(control, &UserControl::MouseDown, control, entry("MouseDown"));
    QObject::connect(control, &UserControl::MouseMove, control, entry("MouseMove"));
    QObject::connect(control, &UserControl::MouseUp, control, entry("MouseUp"));
    QObject::connect(control, &UserControl::KeyDown, control, entry("KeyDown"));
    QObject::connect(control, &UserControl::KeyPress, control, entry("KeyPress"));
    QObject::connect(control, &UserControl::KeyUp, control, entry("KeyUp"));
    QObject::connect(control, &UserControl::Click, control, entry("Click"));
    QObject::connect(control, &UserControl::DblClick, control, entry("DblClick"));
}

// The button skin: five cells side by side, 0 plain, 1 pressed, 2 disabled,
// 3 hover, 4 the rest look of State 1.
constexpr int CellWidth = 18;
constexpr int CellHeight = 21;
constexpr int CellCount = 5;

inline QImage skinCell(int cell)
{
    const QImage skin = huvolo::embedded::buttonSkin.image().convertToFormat(QImage::Format_RGB32);
    return skin.copy(cell * CellWidth, 0, CellWidth, CellHeight);
}

// The cell an 18 x 21 control shows, or -1 if its surface matches none.
inline int shownCell(const huvolo::UserControl &control)
{
    const QImage shown = control.image().convertToFormat(QImage::Format_RGB32);
    for (int cell = 0; cell < CellCount; ++cell)
        if (shown == skinCell(cell))
            return cell;
    return -1;
}
