// drobi: a timed classroom test on multiplying and dividing fractions.

#include "runtime/translations.h"
#include "window/form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

bool displayAvailable()
{
    // An explicit platform (offscreen, vnc...) needs no display of its own.
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("drobi: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "start it from a desktop session, or without one as: xvfb-run -a drobi\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    installRussianTranslations(app);
    Form1 form;
    form.show();
    return app.exec();
}
