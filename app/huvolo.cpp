#include "huvolo.h"

#include "application.h"
#include "fontfaces.h"
#include "frmmain.h"

namespace huvolo {

int run(int &argc, char **argv)
{
    const auto app = openApplication(argc, argv, "huvolo");
    addFontFaces();
    FrmMain window;
    window.show();
    return app->exec();
}

} // namespace huvolo
