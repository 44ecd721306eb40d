#include "application.h"
#include "fontfaces.h"
#include "frmmain.h"

int main(int argc, char *argv[])
{
    const auto app = host::openApplication(argc, argv, "huvolo");
    host::addFontFaces();
    FrmMain window;
    window.show();
    return app->exec();
}
