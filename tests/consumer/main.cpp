// A small program that uses Huvolo's controls as any other project does:
// it places a group box holding two command buttons, one new and one loaded
// from a saved property bag, and checks what they show and the events they
// raise. It prints what failed and exits with status 1 if anything did.
#include <Huvolo/colour.h>
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>
#include <Huvolo/placement.h>
#include <Huvolo/propertybag.h>
#include <Huvolo/stdfont.h>
#include <Huvolo/usercontrol.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdio>

// This program's own names. Huvolo keeps everything of its own in namespace
// huvolo, so none of these may clash with anything its headers declare.
using Label = QString;
using Image = QImage;
using HWND = QWindow *;

namespace {

int failures = 0;

void check(bool passed, const QString &what)
{
    if (!passed) {
        std::fprintf(stderr, "FAILED: %s\n", qPrintable(what));
        ++failures;
    }
}

template <typename T>
void checkEqual(const T &actual, const T &expected, const char *what)
{
    check(actual == expected, QStringLiteral("%1: got \"%2\", expected \"%3\"")
                                  .arg(QLatin1String(what), QVariant::fromValue(actual).toString(),
                                       QVariant::fromValue(expected).toString()));
}

// The colour of a pixel of what the widget shows, as "#rrggbb".
QString shown(QWidget *widget, int x, int y)
{
    const Image picture = widget->grab().toImage();
    return QColor(picture.pixel(x, y)).name();
}

void mouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void key(QWidget *widget, QEvent::Type type, int code, const QString &text)
{
    QKeyEvent event(type, code, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget form;
    form.resize(220, 110);
    const huvolo::FontRef formFont = huvolo::makeFont(QStringLiteral("DejaVu Sans"), 8);
    const auto ambient = [formFont](const QString &name) {
        return [name, formFont] { return huvolo::UserControl::AmbientProperties{name, formFont}; };
    };

    // A new group box takes its caption and font from its container.
    auto *group = new huvolo::xpgroupbox(&form);
    group->setObjectName(QStringLiteral("grpColours"));
    huvolo::place(group, huvolo::StoredRect::fromPixels({8, 8, 199, 89}), ambient(group->objectName()), nullptr);
    checkEqual(group->Caption(), QStringLiteral("grpColours"), "new group box's caption");
    check(group->Font() == formFont, QStringLiteral("new group box's font is the container's font object"));
    checkEqual(group->BackColor(), huvolo::OLE_COLOR(0x0000FFFF), "new group box's back colour");

    // A new button, placed inside the group box.
    auto *cmdNew = new huvolo::xpcmdbutton(group);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    huvolo::place(cmdNew, huvolo::StoredRect::fromPixels({10, 40, 57, 21}), ambient(cmdNew->objectName()), nullptr);
    checkEqual(cmdNew->Caption(), QStringLiteral("cmdNew"), "new button's caption");
    checkEqual(cmdNew->State(), 0, "new button's State");
    check(cmdNew->Enabled(), QStringLiteral("new button is enabled"));

    // A button loaded from a saved bag; the keys match in any letter case.
    const huvolo::PropertyBag saved = huvolo::PropertyBag::fromJson(
        R"({"caption": "OK", "STATE": 1, "Font": {"Name": "DejaVu Sans", "Size": 9, "Weight": 700}})");
    auto *cmdSaved = new huvolo::xpcmdbutton(group);
    cmdSaved->setObjectName(QStringLiteral("cmdSaved"));
    huvolo::place(cmdSaved, huvolo::StoredRect::fromPixels({80, 40, 57, 21}), ambient(cmdSaved->objectName()), &saved);
    checkEqual(cmdSaved->Caption(), QStringLiteral("OK"), "loaded button's caption");
    checkEqual(cmdSaved->State(), 1, "loaded button's State");
    check(cmdSaved->Font() && cmdSaved->Font()->Name == QStringLiteral("DejaVu Sans") && cmdSaved->Font()->Size == 9
              && cmdSaved->Font()->Bold(),
          QStringLiteral("loaded button's font is DejaVu Sans 9 bold"));

    // What it saves loads into another button as the same button.
    const huvolo::PropertyBag resaved = huvolo::PropertyBag::fromJson(cmdSaved->save().toJson());
    huvolo::xpcmdbutton copy;
    huvolo::place(&copy, huvolo::StoredRect::fromPixels({0, 0, 57, 21}), ambient(QStringLiteral("cmdCopy")), &resaved);
    check(copy.Caption() == cmdSaved->Caption() && copy.State() == cmdSaved->State()
              && huvolo::sameFont(copy.Font(), cmdSaved->Font()),
          QStringLiteral("a saved button loads back unchanged"));

    form.show();
    Label title = QStringLiteral("Huvolo consumer");
    form.setWindowTitle(title);
    const HWND window = form.windowHandle();
    check(window != nullptr, QStringLiteral("the form has a window"));
    QApplication::processEvents();

    // Pixels: the group box's yellow inside and its outline, and each
    // button's look at rest through the pixel inside its top-left corner.
    checkEqual(shown(group, 100, 30), QStringLiteral("#ffff00"), "group box inside");
    checkEqual(shown(group, 0, 50), QStringLiteral("#d0d0bf"), "group box's left edge");
    checkEqual(shown(cmdNew, 1, 1), QStringLiteral("#557da2"), "new button at rest (skin cell 0)");
    checkEqual(shown(cmdSaved, 1, 1), QStringLiteral("#274d85"), "State 1 button at rest (skin cell 4)");

    // Events: a press and release make a click, with the pressed look
    // between; handlers see the arguments by reference, in pixels.
    QStringList raised;
    QObject::connect(cmdNew, &huvolo::UserControl::MouseDown, &form,
                     [&raised](qint16 &Button, qint16 &Shift, float &x, float &Y) {
                         raised << QStringLiteral("MouseDown %1 %2 %3 %4").arg(Button).arg(Shift).arg(x).arg(Y);
                     });
    QObject::connect(cmdNew, &huvolo::UserControl::Click, &form, [&raised] { raised << QStringLiteral("Click"); });
    QObject::connect(cmdNew, &huvolo::UserControl::KeyDown, &form, [&raised](qint16 &KeyCode, qint16 &) {
        raised << QStringLiteral("KeyDown %1").arg(KeyCode);
    });
    QObject::connect(cmdNew, &huvolo::UserControl::KeyPress, &form, [&raised](qint16 &KeyAscii) {
        raised << QStringLiteral("KeyPress %1").arg(KeyAscii);
    });
    QObject::connect(cmdNew, &huvolo::xpcmdbutton::MouseOut, &form, [&raised] { raised << QStringLiteral("MouseOut"); });

    mouse(cmdNew, QEvent::MouseButtonPress, {5, 6}, Qt::LeftButton);
    checkEqual(shown(cmdNew, 1, 3), QStringLiteral("#d8d4cb"), "pressed button (skin cell 1)");
    mouse(cmdNew, QEvent::MouseButtonRelease, {5, 6}, Qt::NoButton);
    checkEqual(shown(cmdNew, 1, 1), QStringLiteral("#557da2"), "released button back at rest");
    key(cmdNew, QEvent::KeyPress, Qt::Key_A, QStringLiteral("a"));

    // The pointer moves over the button, then away: the hover timer notices
    // and the button raises MouseOut.
    QPoint pointer(5, 6);
    cmdNew->setPointerSource([&pointer](const QWidget *) { return pointer; });
    mouse(cmdNew, QEvent::MouseMove, pointer, Qt::NoButton);
    pointer = QPoint(-50, -50);
    QEventLoop wait;
    QObject::connect(cmdNew, &huvolo::xpcmdbutton::MouseOut, &wait, &QEventLoop::quit);
    QTimer::singleShot(5000, &wait, &QEventLoop::quit);
    wait.exec();
    checkEqual(raised.join(QStringLiteral(", ")),
               QStringLiteral("MouseDown 1 0 5 6, Click, KeyDown 65, KeyPress 97, MouseOut"), "events raised");

    // A disabled button shows its disabled look whatever its State.
    cmdSaved->setEnabled(false);
    checkEqual(shown(cmdSaved, 1, 1), QStringLiteral("#f5f4ea"), "disabled button (skin cell 2)");

    // A value a control cannot hold is refused with the host's error.
    try {
        group->setBackColor(0x01000000);
        check(false, QStringLiteral("an invalid back colour is refused"));
    } catch (const huvolo::HostError &error) {
        checkEqual(error.number(), int(huvolo::HostError::InvalidPropertyValue), "error number of a refused colour");
    }

    // In a row beside a QPushButton, each control is laid out at its
    // designed width; the row is as tall as the group box.
    QWidget row;
    auto *rowLayout = new QHBoxLayout(&row);
    rowLayout->addWidget(new QPushButton(QStringLiteral("Plain")));
    auto *cmdRow = new huvolo::xpcmdbutton;
    auto *grpRow = new huvolo::xpgroupbox;
    rowLayout->addWidget(cmdRow);
    rowLayout->addWidget(grpRow);
    row.show();
    QApplication::processEvents();
    const auto sizeOf = [](const QWidget *widget) {
        return QStringLiteral("%1x%2").arg(widget->width()).arg(widget->height());
    };
    checkEqual(sizeOf(cmdRow), QStringLiteral("113x89"), "button's size in a row");
    checkEqual(sizeOf(grpRow), QStringLiteral("199x89"), "group box's size in a row");

    if (failures == 0)
        std::printf("huvolo-consumer: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
