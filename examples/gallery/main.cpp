// A small window that shows Huvolo's two reusable controls: one group box
// holding command buttons in their looks at rest, at rest with State 1, and
// disabled. Hover and press the enabled ones to see the other looks.
#include "application.h"
#include "fontfaces.h"
#include <Huvolo/hostevents.h>
#include <Huvolo/placement.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QWidget>

using namespace huvolo;


namespace {

FontRef smallFont()
{
    return makeFont(QStringLiteral("Small Fonts"), 6);
}

// A newly placed instance, named as a container names it.
template <typename Control>
Control *placeNew(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *control = new Control(parent);
    control->setObjectName(name);
    place(control, StoredRect::fromPixels(geometry),
          [name] { return UserControl::AmbientProperties{name, smallFont()}; }, nullptr);
    return control;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto app = huvolo::openApplication(argc, argv, "huvolo-gallery");
    huvolo::addFontFaces();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Huvolo controls"));
    window.setFixedSize(215, 105);

    auto *group = placeNew<xpgroupbox>(&window, QStringLiteral("grpLooks"), QRect(8, 8, 199, 89));
    hostGuard([group] {
        group->setFont(makeFont(QStringLiteral("DejaVu Sans"), 8));
        group->setBackColor(0x00FFFFFF);
        group->setCaption(QStringLiteral("xpcmdbutton looks"));
    });

    const struct
    {
        const char *name;
        const char *caption;
        qint32 state;
        bool enabled;
    } looks[] = {
        {"cmdRest", "State 0", 0, true},
        {"cmdState1", "State 1", 1, true},
        {"cmdDisabled", "Disabled", 0, false},
    };
    int left = 9;
    for (const auto &look : looks) {
        auto *button = placeNew<xpcmdbutton>(group, QLatin1String(look.name), QRect(left, 40, 57, 21));
        hostGuard([&] {
            button->setCaption(QLatin1String(look.caption));
            button->setState(look.state);
            button->setEnabled(look.enabled);
        });
        left += 62;
    }

    window.show();
    return app->exec();
}
